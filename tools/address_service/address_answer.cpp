#include "tools/address_service/address_answer.h"

#include "foundation/files.h"
#include "foundation/text.h"

CAddressAnswer::CAddressAnswer(std::string fixedText, std::string answerFile)
    : fixedText_(std::move(fixedText)), answerFile_(std::move(answerFile)) {}

std::string CAddressAnswer::Body() const {
    std::string text = fixedText_;
    if (!answerFile_.empty()) {
        text.clear();
        ReadWholeFile(text, answerFile_);
        text = TrimSpace(text);
    }
    return "<ip>" + text + "</ip>";
}
