#include "installer/payload_placement.h"

#include <vector>

#include "foundation/files.h"
#include "foundation/log.h"
#include "foundation/process.h"
#include "foundation/scramble.h"
#include "foundation/service_ctrl.h"
#include "foundation/text.h"
#include "foundation/wow64_fs_guard.h"
#include "installer/payload_archive.h"

namespace {

constexpr int kPayloadResourceId = 130;
constexpr char kPayloadResourceType[] = "ZIP";
// The waits give the shell, the service control manager and stopped programs time to
// release their files.
constexpr DWORD kAroundUnpackMs = 300;
constexpr DWORD kAfterHttpDeleteMs = 100;
constexpr DWORD kAfterTreeCopyMs = 300;
constexpr DWORD kBeforeBatchMs = 200;
constexpr DWORD kBetweenServiceStartsMs = 100;
constexpr DWORD kBeforeStagingDeleteMs = 300;

const char* const kProgramFiles[] = {"ormvex.exe", "ormvexd.exe", "OrmVexPanel.exe", "update.exe"};
const char* const kKeptWhenPresent[] = {"readme.txt", "sqlite3.dll"};

class Placement {
public:
    explicit Placement(const PlacementRequest& request) : r_(request) {}

    PlacementResult Run() {
        // 1. The staging folder.
        const std::string staging = StagingFolder(r_.installDir);
        if (!CreateFolderPath(staging) || !PathExistsReal(staging, true)) {
            Refuse(ToGbk(L"创建临时目录失败：") + staging, ToGbk(L"创建临时目录失败：") + staging);
            return PlacementResult::Failed;
        }
        // 2. to 4. The payload, written out and unpacked.
        const std::string archive = staging + "src.zip";
        if (!WritePayload(archive)) return PlacementResult::Failed;
        ::Sleep(kAroundUnpackMs);
        const bool unpacked = UnpackArchive(archive, staging).opened;
        ::Sleep(kAroundUnpackMs);
        DeleteFileForce(archive);
        if (!unpacked) {
            Refuse(ToGbk(L"释放资源文件失败！"), ToGbk(L"释放资源文件失败，请重新下载安装包！"));
            return PlacementResult::Failed;
        }
        // 5. A running panel quits so that its program file is free.
        WriteTextFile(r_.installDir + "config\\quitpanel.txt", true, true, NowSecondsText());
        // 6. and 7. Placement, only with every program file present.
        bool complete = true;
        if (HasEveryProgram(staging)) {
            complete = PlaceFiles(staging);
        } else {
            Log(ToGbk(L"文件缺失，无法升级！"));
            complete = false;
        }
        // 8. The staging folder goes.
        ::Sleep(kBeforeStagingDeleteMs);
        COrmFile().DeleteTree(staging);
        return complete ? PlacementResult::Placed : PlacementResult::Incomplete;
    }

private:
    void Log(const std::string& line) const { WriteUpdateLog(line, r_.updateLog); }

    // Unattended runs log what interactive runs show.
    void Refuse(const std::string& logText, const std::string& shownText) const {
        if (r_.unattended) {
            Log(logText);
        } else if (r_.showError) {
            r_.showError(shownText);
        }
    }

    bool WritePayload(const std::string& archive) const {
        HMODULE module = r_.payloadModule ? r_.payloadModule : ::GetModuleHandleA(nullptr);
        HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(kPayloadResourceId), kPayloadResourceType);
        const DWORD size = resource ? ::SizeofResource(module, resource) : 0;
        HGLOBAL loaded = size ? ::LoadResource(module, resource) : nullptr;
        const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
        if (!bytes) {
            const std::string text = ToGbk(L"加载资源文件 ") + archive + ToGbk(L" 失败！");
            Refuse(text, text);
            DeleteFileForce(archive);
            return false;
        }
        std::string error;
        if (!WriteBufferToFile(bytes, error, archive, size)) {
            const std::string text = ToGbk(L"释放资源文件 ") + archive + ToGbk(L" 失败，错误信息=") + error;
            Refuse(text, text);
            DeleteFileForce(archive);
            return false;
        }
        return true;
    }

    // Puts the staged entry into the folder: moved when nothing of its name is there
    // yet (the staging folder is on the same volume, and the shell copies and deletes
    // trees of small files slowly), merged by copying over what exists otherwise.
    static bool PlaceInto(const std::string& staging, const std::string& name, const std::string& folder) {
        const std::string source = staging + name;
        if (!PathExistsReal(source, false)) return false;
        if (!PathExistsReal(folder + name, false)) {
            RedirectionOff redirection;
            if (::MoveFileExA(source.c_str(), (folder + name).c_str(), 0)) return true;
        }
        return COrmFile().CopyTree(source, folder) != 0;
    }

    static bool HasEveryProgram(const std::string& staging) {
        for (const char* program : kProgramFiles)
            if (!FileExistsReal(staging + program)) return false;
        return true;
    }

    // False when a program file could not be replaced.
    bool PlaceFiles(const std::string& staging) const {
        COrmFile files;
        CServiceCtrl services;
        const std::string& d = r_.installDir;
        // 6.1 The watchdog first, so that it does not start the engine again meanwhile.
        services.StartOrStop("ormvexd", false, std::string(), false);
        services.StartOrStop("ormvex", false, std::string(), false);
        // 6.2 Programs, in place even while they still run.
        bool replaced = true;
        for (const char* program : kProgramFiles) {
            if (!files.ReplaceFile(staging + program, d + program)) {
                Log(ToGbk(L"Copy失败：") + d + program + ToGbk(L"：") + UIntText(::GetLastError()));
                replaced = false;
            }
        }
        // 6.3 Web pages as a whole: pages only the old version had disappear.
        if (FileExistsReal(staging + "http\\index.html")) {
            files.DeleteTree(d + "http\\");
            ::Sleep(kAfterHttpDeleteMs);
        }
        PlaceInto(staging, "http", d);
        CreateFolderPath(d + "http\\");
        ::Sleep(kAfterTreeCopyMs);
        files.DeleteTree(staging + "http\\");
        // 6.4 An existing configuration database is never touched.
        if (!FileExistsReal(d + "config\\config.db")) PlaceInto(staging, "config", d);
        ::Sleep(kAfterTreeCopyMs);
        files.DeleteTree(staging + "config\\");
        // 6.5 Everything else.
        PlaceRemainingMembers(staging);
        // 6.6 The upgrade batch.
        ::Sleep(kBeforeBatchMs);
        std::string batch = Unscrambled(scrambled::kUpgradeBatch);
        ReplaceAll("\\n", batch, "\n");
        RunBatchText(staging + "ormup_" + NowSecondsText() + ".bat", batch);
        // 6.7 Services again, the watchdog first.
        ::Sleep(kBetweenServiceStartsMs);
        services.StartOrStop("ormvexd", true, std::string(), false);
        ::Sleep(kBetweenServiceStartsMs);
        services.StartOrStop("ormvex", true, std::string(), false);
        return replaced;
    }

    void PlaceRemainingMembers(const std::string& staging) const {
        std::vector<std::string> names;
        ListFolderNames("", names, staging);
        for (const std::string& name : names) {
            const std::string lower = LowerCopy(name);
            bool skip = false;
            for (const char* program : kProgramFiles) skip = skip || lower == LowerCopy(program);
            for (const char* kept : kKeptWhenPresent)
                skip = skip || (lower == kept && PathExistsReal(r_.installDir + name, false));
            if (skip) continue;
            if (!PlaceInto(staging, name, r_.installDir))
                Log(ToGbk(L"升级文件失败：") + name + ToGbk(L"，err=") + UIntText(::GetLastError()));
        }
    }

    const PlacementRequest& r_;
};

}  // namespace

std::string StagingFolder(const std::string& installDir) {
    return installDir + "temp\\new_" + NowSecondsText() + "\\";
}

PlacementResult UnpackAndPlacePayload(const PlacementRequest& request) { return Placement(request).Run(); }
