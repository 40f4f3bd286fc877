#include "tools/ormvex/channel_server.h"

#include <vector>

#include "foundation/aes.h"
#include "foundation/files.h"
#include "foundation/scramble.h"
#include "foundation/text.h"
#include "foundation/unique_handle.h"
#include "tools/ormvex/standin_answers.h"

namespace {

// A request is a few hundred hexadecimal digits; anything larger is refused by the
// endpoint itself.
constexpr DWORD kMaxRequestBytes = 64 * 1024;
// A read gives up after this long so that a stop is seen promptly.
constexpr DWORD kReadTimeoutMs = 200;
// "late": after the client's 40 polls of 100 ms have run out.
constexpr DWORD kLateAnswerDelayMs = 5000;

const char kForeignKey[] = "Not#The!Channel@Key$0000000000";

std::string TestStatus(const CStandinSettings& settings, std::string answer) {
    const std::string forced = settings.TestSwitch("status");
    const std::size_t open = answer.find("<status>");
    const std::size_t close = answer.find("</status>");
    if (open == std::string::npos || close == std::string::npos) return answer;
    if (settings.TestSwitch("nostatus") == "1") return answer.erase(open, close + 9 - open);
    if (forced.empty()) return answer;
    return answer.replace(open + 8, close - open - 8, forced);
}

// Written under a temporary name and renamed: the file is complete when it appears.
void WriteAnswerFile(const std::string& folder, const std::string& sealed) {
    const std::string finalPath = folder + "config\\_panel.db";
    const std::string tempPath = finalPath + ".part";
    {
        UniqueFile file(::CreateFileA(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return;
        DWORD written = 0;
        if (!::WriteFile(file.get(), sealed.data(), static_cast<DWORD>(sealed.size()), &written, nullptr)) return;
    }
    ::MoveFileExA(tempPath.c_str(), finalPath.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void AnswerOne(const std::string& folder, const std::string& wire, HANDLE stopEvent) {
    const CStandinSettings settings(folder);
    const std::string key = Unscrambled(scrambled::kChannelKey);
    const std::string sealedRequest(wire.c_str());  // up to the terminating zero
    const std::string request = CAesText(key).OpenText(sealedRequest);
    if (settings.TestSwitch("record") == "1") WriteTextFile(folder + "config\\requests.txt", true, true, request);
    settings.LogRequest(request);
    const std::string answer = TestStatus(settings, AnswerRequest(settings, request));

    const std::string mode = settings.TestSwitch("answer");
    if (mode == "never") return;
    if (mode == "late" && ::WaitForSingleObject(stopEvent, kLateAnswerDelayMs) == WAIT_OBJECT_0) return;
    const std::string sealed = CAesText(mode == "damaged" ? kForeignKey : key).SealText(answer);
    WriteAnswerFile(folder, sealed);
}

}  // namespace

UniqueFile OpenEngineEndpoint() {
    const std::string endpoint = Unscrambled(scrambled::kChannelEndpoint);
    // A failed CreateMailslot reports INVALID_HANDLE_VALUE, as CreateFile does.
    return UniqueFile(::CreateMailslotA(endpoint.c_str(), kMaxRequestBytes, kReadTimeoutMs, nullptr));
}

void ServeEngineChannel(const std::string& folder, HANDLE endpoint, HANDLE stopEvent) {
    std::vector<char> buffer(kMaxRequestBytes + 1);
    while (::WaitForSingleObject(stopEvent, 0) != WAIT_OBJECT_0) {
        DWORD read = 0;
        if (!::ReadFile(endpoint, buffer.data(), kMaxRequestBytes, &read, nullptr)) continue;
        AnswerOne(folder, std::string(buffer.data(), read), stopEvent);
    }
}
