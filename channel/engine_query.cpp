#include "channel/engine_query.h"

#include <chrono>
#include <thread>

#include "foundation/files.h"
#include "foundation/process.h"
#include "foundation/text.h"

namespace {

// The engine has ended when RunAndWait returns; this covers a file system that
// shows its last write a moment late.
constexpr std::chrono::milliseconds kAnswerSettleDelay{100};

}  // namespace

std::string RunEngineQuery(const std::string& word, const std::string& installFolder) {
    // 1. A bare file name; the engine puts it into its own temp folder.
    const std::string fileName = NowSecondsText() + ".tmp";
    // 2. Run the engine program for this one answer.
    RunAndWait(installFolder + "ormvex.exe", word + " " + fileName);
    // 3.
    std::this_thread::sleep_for(kAnswerSettleDelay);
    // 4. Read and remove the one-time answer.
    const std::string answerPath = installFolder + "temp\\" + fileName;
    std::string answer;
    ReadWholeFile(answer, answerPath);
    DeleteFileForce(answerPath);
    // 5.
    return answer;
}
