// The stand-in's whole state, in one INI file of its own (config\standin.ini below
// its program folder), so that a test sets up any situation by writing that file
// and a restart keeps it. Every read goes to the file.
//
// [standin]  port (6689), onlylocal (0), on (1), unusual (empty: follows "on"),
//            authcode, uninstallcode (1: an uninstall needs the code), uninstallid,
//            uninstallconfirm (1), admins (0), entry, version (1.1.0), outerurl,
//            user, pass
// [test]     answer = normal | late | damaged | never
//            status = the status value every answer carries instead of its own
//            nostatus = 1: answers carry no status element
//            crash = 1: fail once like a crashed engine, 2: every time
//            refuse = command words (comma-separated) answered "操作未完成" with
//                     status 0, without effect
//            record = 1: every request text is appended as a line to
//                     config\requests.txt
//            uninstallanswer = damaged: the uninstall answer lacks its confirm flag,
//                              none: the query writes no answer file
// config\standin_requests.txt gets one line per request and query received, so that
// a test can tell what reached the engine and what did not.
#pragma once
#include <string>

class CStandinSettings {
public:
    // folder: the stand-in's program folder, ending with a backslash.
    explicit CStandinSettings(const std::string& folder);

    std::string Text(const char* key) const;                      // [standin], with its default
    int Number(const char* key) const;                            // [standin], with its default
    void Set(const char* key, const std::string& value) const;    // [standin]
    std::string TestSwitch(const char* key) const;                // [test], empty when unset
    void SetTestSwitch(const char* key, const std::string& value) const;

    const std::string& Folder() const { return folder_; }
    // Appends one line to config\standin_requests.txt.
    void LogRequest(const std::string& line) const;
    // "http://localhost:<port>" plus "/<entry>" once an entry path is set.
    std::string LocalUrl() const;

private:
    std::string folder_;
    std::string file_;
};

