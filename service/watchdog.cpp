#include "service/watchdog.h"

#include <shellapi.h>

#include <string>

#include "foundation/files.h"
#include "foundation/service_ctrl.h"
#include "service/service_log.h"

namespace {

constexpr char kEngineName[] = "ormvex";  // service name and program base name alike
constexpr char kRegisterSwitch[] = "/i";
constexpr char kLeftoverName[] = "ormvexd.exe.del";
// "[服务]自动恢复" + name + "成功" in GBK.
constexpr char kRecoveryPrefix[] = "[\xB7\xFE\xCE\xF1]\xD7\xD4\xB6\xAF\xBB\xD6\xB8\xB4";
constexpr char kRecoverySuffix[] = "\xB3\xC9\xB9\xA6";

// What the installer leaves when it replaced this program while it ran; one try.
void RemoveLeftover() {
    const std::string leftover = ModuleFolder() + kLeftoverName;
    if (!FileExistsReal(leftover)) return;
    ::SetFileAttributesA(leftover.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(leftover.c_str());
}

}  // namespace

CThread::~CThread() {
    if (WorkerHandle) ::TerminateThread(WorkerHandle.get(), 0);
}

bool CThread::StartWorker() {
    WorkerHandle.reset(::CreateThread(nullptr, 0, WatchdogLoop, this, 0, nullptr));
    return static_cast<bool>(WorkerHandle);
}

DWORD WINAPI WatchdogLoop(LPVOID parameter) {
    auto* worker = static_cast<CThread*>(parameter);
    // 1. and 2.
    ::Sleep(CThread::kFirstLookDelayMs);
    RemoveLeftover();
    // 3.
    for (;;) {
        worker->CheckEngineService();
        for (int slice = 0; slice < CThread::kCycleSlices; ++slice) ::Sleep(CThread::kCycleSliceMs);
    }
}

void CThread::CheckEngineService() {
    CServiceCtrl control;
    // 1.
    if (control.IsServiceRunning(kEngineName)) return;
    // 2. The engine registers itself again when its service was deleted.
    const std::string engine = ModuleFolder() + kEngineName + ".exe";
    if (FileExistsReal(engine)) ::ShellExecuteA(nullptr, "open", engine.c_str(), kRegisterSwitch, nullptr, SW_HIDE);
    // 3.
    if (!control.IsServiceRunning(kEngineName)) {
        ::Sleep(kRegisterSettleMs);
        control.StartOrStop(kEngineName, true, std::string(), false);
    }
    // 4. and 5.
    ::Sleep(kRecoveryCheckMs);
    if (control.IsServiceRunning(kEngineName))
        WriteServiceLog(std::string(kRecoveryPrefix) + kEngineName + kRecoverySuffix);
}
