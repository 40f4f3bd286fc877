// What the address service answers: "<ip>" + a text + "</ip>", the text given on the
// command line or read from a file at every request, so that whoever started the
// service can change the answer while it runs.
#pragma once
#include <string>

class CAddressAnswer {
public:
    // Exactly one of the two is used: the file when it is not empty.
    CAddressAnswer(std::string fixedText, std::string answerFile);

    // The body of one answer; the file's text with its surrounding blanks and line
    // ends removed.
    std::string Body() const;

private:
    std::string fixedText_;
    std::string answerFile_;
};
