#include "channel/engine_channel.h"

#include <chrono>
#include <utility>
#include <thread>

#include "channel/engine_endpoint.h"
#include "foundation/aes.h"
#include "foundation/files.h"
#include "foundation/scramble.h"
#include "foundation/text.h"

namespace {

// The engine writes its answer within a second or two; after 40 polls 100 ms apart
// (about 4 s) the exchange gives up.
constexpr int kAnswerPollAttempts = 40;
constexpr std::chrono::milliseconds kAnswerPollInterval{100};
// Lets an engine that writes the file in place finish it before it is read.
constexpr std::chrono::milliseconds kAnswerSettleDelay{100};

const char kAnswerFile[] = "config\\_panel.db";

std::string EngineNotRunningText() {
    // "Orm·防入侵集群系统" + "未运行", in GBK.
    return "Orm\xA1\xA4\xB7\xC0\xC8\xEB\xC7\xD6\xBC\xAF\xC8\xBA\xCF\xB5\xCD\xB3"
           "\xCE\xB4\xD4\xCB\xD0\xD0";
}

const char* const kCommandWords[] = {"showme", "geturl", "getport", "getinfo",
                                     "getauth", "adduser", "setinfo", "setport"};

bool IsCommandWord(const std::string& word) {
    for (const char* known : kCommandWords) {
        if (word == known) return true;
    }
    return false;
}

class LockGuard {
public:
    explicit LockGuard(CRITICAL_SECTION& lock) : lock_(lock) { ::EnterCriticalSection(&lock_); }
    ~LockGuard() { ::LeaveCriticalSection(&lock_); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    CRITICAL_SECTION& lock_;
};

}  // namespace

CEngineChannel::CEngineChannel(std::string installFolder) : installFolder_(std::move(installFolder)) {
    ::InitializeCriticalSection(&ChannelLock);
}

CEngineChannel::~CEngineChannel() { ::DeleteCriticalSection(&ChannelLock); }

void CEngineChannel::FillChannelKey() {
    if (ChannelKey.empty()) ChannelKey = Unscrambled(scrambled::kChannelKey);
}

const std::string& CEngineChannel::ChannelKeyText() {
    LockGuard guard(ChannelLock);
    FillChannelKey();
    return ChannelKey;
}

bool CEngineChannel::ExchangeWithEngine(const std::string& request, const std::string& installFolder,
                                        std::string& answer) {
    // 2. The answer file of the installation.
    std::string folder = installFolder.empty() ? ModuleFolder() : installFolder;
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    const std::string answerFile = folder + kAnswerFile;

    // 4. One exchange at a time in this process.
    LockGuard guard(ChannelLock);
    // 3. A stale answer (a late one of an earlier exchange) must never pass for this
    // one. Removed under the lock: outside it, a second sender would delete the answer
    // that the exchange in progress is waiting for.
    if (PathIs(answerFile, false)) DeleteFileForce(answerFile);
    // 1. The key, once.
    FillChannelKey();
    // 5. Write the request; an engine that does not serve the endpoint is not awaited.
    if (!WriteEngineRequest(request, false)) {
        answer = EngineNotRunningText();
        return false;
    }
    // 6. Await the answer file.
    bool received = false;
    std::string opened;
    for (int attempt = 0; attempt < kAnswerPollAttempts; ++attempt) {
        if (PathIs(answerFile, false)) {
            std::this_thread::sleep_for(kAnswerSettleDelay);
            std::string sealed;
            ReadWholeFile(sealed, answerFile);
            opened = CAesText(ChannelKey).OpenText(sealed);
            received = true;
            break;
        }
        std::this_thread::sleep_for(kAnswerPollInterval);
    }
    // 7. The answer file is ours to remove, read or not.
    answer = opened;
    DeleteFileForce(answerFile);
    return received;
    // 8. The lock is left with the guard.
}

bool CEngineChannel::SendEngineCommand(const std::string& word, const std::string& parameters,
                                       std::string& answer) {
    // 1. Only the engine's own words travel; anything else never reaches it.
    if (!IsCommandWord(word)) {
        answer = "<data>\xB7\xBD\xB7\xA8\xB2\xCE\xCA\xFD\xB4\xED\xCE\xF3</data>";  // 方法参数错误
        return false;
    }
    // 2-3. The status thread skips its check while this waits.
    const std::string request = "<cmd>" + word + "</cmd>" + parameters;
    RequestBusy_.store(1);
    ExchangeWithEngine(request, installFolder_, answer);
    RequestBusy_.store(0);
    // 4. Exactly "1": "01" or "1 " are not a success.
    return TextBetween(answer, "<status>", "</status>") == "1";
}
