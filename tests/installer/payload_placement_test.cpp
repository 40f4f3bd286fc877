#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "foundation/files.h"
#include "foundation/text.h"
#include "foundation/unique_handle.h"
#include "installer/payload_placement.h"
#include "support/test_support.h"

namespace {

using testing_support::FileExists;
using testing_support::FolderExists;
using testing_support::ReadFileText;
using testing_support::ScratchFolder;
using testing_support::WriteFileBytes;

std::string Program(const std::string& name) { return testing_support::TestProgramFolder() + name; }

void FreeLibraryNoexcept(HMODULE m) noexcept { ::FreeLibrary(m); }
using UniqueLibrary = UniqueHandle<HandleTraits<HMODULE, nullptr, FreeLibraryNoexcept>>;

// A copy of a program carrying the archive as its "ZIP" 130 resource, loaded as data,
// the way the installer carries its payload.
class PayloadCarrier {
public:
    PayloadCarrier(const ScratchFolder& dir, const std::string& archive) {
        const std::string copy = dir / "carrier.exe";
        ::CopyFileA(Program("test_sleeper.exe").c_str(), copy.c_str(), FALSE);
        if (!archive.empty()) {
            const std::string bytes = ReadFileText(Program("fixtures\\" + archive));
            HANDLE update = ::BeginUpdateResourceA(copy.c_str(), FALSE);
            ::UpdateResourceA(update, "ZIP", MAKEINTRESOURCEA(130), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                              const_cast<char*>(bytes.data()), static_cast<DWORD>(bytes.size()));
            ::EndUpdateResourceA(update, FALSE);
        }
        module_.reset(::LoadLibraryExA(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    }
    HMODULE Module() const { return module_.get(); }

private:
    UniqueLibrary module_;
};

// An installed product: old programs, pages, configuration and the files kept as they are.
void InstallOldProduct(const std::string& d) {
    for (const char* folder : {"config", "http", "http\\old", "log", "temp"}) ::CreateDirectoryA((d + folder).c_str(), nullptr);
    for (const char* program : {"ormvex.exe", "ormvexd.exe", "OrmVexPanel.exe", "update.exe"})
        WriteFileBytes(d + program, std::string("old ") + program);
    WriteFileBytes(d + "http\\index.html", "<html>old</html>");
    WriteFileBytes(d + "http\\old\\page.html", "only the old version had this");
    WriteFileBytes(d + "config\\config.db", "the customer's database");
    WriteFileBytes(d + "ReadMe.txt", "old readme");
    WriteFileBytes(d + "sqlite3.dll", "old sqlite");
}

PlacementRequest Request(const std::string& d, HMODULE module, bool unattended) {
    PlacementRequest request;
    request.installDir = d;
    request.unattended = unattended;
    request.updateLog = d + "log\\update.log";
    request.payloadModule = module;
    return request;
}

TEST(PayloadPlacement, UpgradeKeepsTheConfigurationAndReplacesTheRest) {
    ScratchFolder dir;
    const std::string d = dir / "ormvex1234\\";
    ::CreateDirectoryA(d.c_str(), nullptr);
    InstallOldProduct(d);
    PayloadCarrier carrier(dir, "payload_full.zip");
    ASSERT_NE(carrier.Module(), nullptr);

    EXPECT_EQ(UnpackAndPlacePayload(Request(d, carrier.Module(), true)), PlacementResult::Placed);

    EXPECT_EQ(ReadFileText(d + "ormvex.exe"), "new engine");
    EXPECT_EQ(ReadFileText(d + "ormvexd.exe"), "new watchdog");
    EXPECT_EQ(ReadFileText(d + "OrmVexPanel.exe"), "new panel");
    EXPECT_EQ(ReadFileText(d + "update.exe"), "new updater");
    EXPECT_EQ(ReadFileText(d + "config\\config.db"), "the customer's database");
    EXPECT_EQ(ReadFileText(d + "ReadMe.txt"), "old readme");
    EXPECT_EQ(ReadFileText(d + "sqlite3.dll"), "old sqlite");
    EXPECT_EQ(ReadFileText(d + "http\\index.html"), "<html>new</html>");
    EXPECT_EQ(ReadFileText(d + "http\\js\\app.js"), "new script");
    EXPECT_FALSE(FolderExists(d + "http\\old"));
    EXPECT_EQ(ReadFileText(d + "tools\\helper.txt"), "new tool");
    EXPECT_TRUE(FolderExists(d + "recycle"));
    EXPECT_TRUE(FileExists(d + "Orm.url"));
    EXPECT_TRUE(FileExists(d + "config\\quitpanel.txt"));  // the signal for a running panel
    std::vector<std::string> staging;
    EXPECT_EQ(ListFolderNames("", staging, d + "temp\\"), 0u) << "the staging folder is removed";
    EXPECT_EQ(ReadFileText(d + "log\\update.log"), "");  // nothing went wrong
}

TEST(PayloadPlacement, NewInstallationGetsEverything) {
    ScratchFolder dir;
    const std::string d = dir / "fresh\\";
    ::CreateDirectoryA(d.c_str(), nullptr);
    ::CreateDirectoryA((d + "log").c_str(), nullptr);
    PayloadCarrier carrier(dir, "payload_full.zip");
    EXPECT_EQ(UnpackAndPlacePayload(Request(d, carrier.Module(), false)), PlacementResult::Placed);
    EXPECT_EQ(ReadFileText(d + "config\\config.db"), "fresh database");
    EXPECT_EQ(ReadFileText(d + "ReadMe.txt"), "new readme");
    EXPECT_EQ(ReadFileText(d + "sqlite3.dll"), "new sqlite");
    EXPECT_FALSE(FileExists(d + "config\\quitpanel.txt"));  // there was no config folder to signal in
}

TEST(PayloadPlacement, DeletedSqliteIsRestored) {
    ScratchFolder dir;
    const std::string d = dir / "ormvex1\\";
    ::CreateDirectoryA(d.c_str(), nullptr);
    InstallOldProduct(d);
    ::DeleteFileA((d + "sqlite3.dll").c_str());
    PayloadCarrier carrier(dir, "payload_full.zip");
    EXPECT_EQ(UnpackAndPlacePayload(Request(d, carrier.Module(), true)), PlacementResult::Placed);
    EXPECT_EQ(ReadFileText(d + "sqlite3.dll"), "new sqlite");
}


TEST(PayloadPlacement, RunningProgramsAreReplacedThroughDel) {
    ScratchFolder dir;
    const std::string d = dir / "ormvex2\\";
    ::CreateDirectoryA(d.c_str(), nullptr);
    InstallOldProduct(d);
    ASSERT_TRUE(::CopyFileA(Program("test_sleeper.exe").c_str(), (d + "ormvex.exe").c_str(), FALSE));
    UniqueHandleKernel engine = testing_support::StartProgram("\"" + d + "ormvex.exe" + "\" 60000");
    ASSERT_TRUE(engine);
    ::Sleep(300);
    PayloadCarrier carrier(dir, "payload_full.zip");

    EXPECT_EQ(UnpackAndPlacePayload(Request(d, carrier.Module(), true)), PlacementResult::Placed);
    EXPECT_EQ(ReadFileText(d + "ormvex.exe"), "new engine");
    EXPECT_TRUE(FileExists(d + "ormvex.exe.del"));
    EXPECT_EQ(::WaitForSingleObject(engine.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "still running from .del";

    // A second upgrade while the old program still runs from ormvex.exe.del.
    ASSERT_TRUE(::CopyFileA(Program("test_sleeper.exe").c_str(), (d + "ormvexd.exe").c_str(), FALSE));
    EXPECT_EQ(UnpackAndPlacePayload(Request(d, carrier.Module(), true)), PlacementResult::Placed);
    EXPECT_EQ(ReadFileText(d + "ormvex.exe"), "new engine");
    // The locked leftover moved to a time-stamped name; the upgrade batch cleared the
    // unlocked ones.
    std::vector<std::string> leftovers;
    ListFolderNames("del", leftovers, d);
    ASSERT_EQ(leftovers.size(), 1u);
    const std::string stamped = leftovers[0];
    EXPECT_EQ(stamped.rfind("ormvex.exe.", 0), 0u) << stamped;
    EXPECT_TRUE(IsDigitsText(stamped.substr(11, stamped.size() - 15))) << stamped;
    ::TerminateProcess(engine.get(), 0);
    ::WaitForSingleObject(engine.get(), 5000);
}

TEST(PayloadPlacement, MissingProgramPlacesNothingAndIsNotASuccess) {
    ScratchFolder dir;
    const std::string d = dir / "ormvex3\\";
    ::CreateDirectoryA(d.c_str(), nullptr);
    InstallOldProduct(d);
    PayloadCarrier carrier(dir, "payload_without_update.zip");
    EXPECT_EQ(UnpackAndPlacePayload(Request(d, carrier.Module(), true)), PlacementResult::Incomplete);
    EXPECT_EQ(ReadFileText(d + "ormvex.exe"), "old ormvex.exe");
    EXPECT_EQ(ReadFileText(d + "http\\index.html"), "<html>old</html>");
    EXPECT_EQ(ReadFileText(d + "log\\update.log").substr(19), "\t" + ToGbk(L"文件缺失，无法升级！") + "\r\n");
}

TEST(PayloadPlacement, UnusablePayloadFailsWithItsMessage) {
    ScratchFolder dir;
    const std::string d = dir / "ormvex4\\";
    ::CreateDirectoryA(d.c_str(), nullptr);
    ::CreateDirectoryA((d + "log").c_str(), nullptr);
    {
        PayloadCarrier none(dir, "");
        EXPECT_EQ(UnpackAndPlacePayload(Request(d, none.Module(), true)), PlacementResult::Failed);
        const std::string log = ReadFileText(d + "log\\update.log");
        EXPECT_NE(log.find(ToGbk(L"加载资源文件 ") + d + "temp\\new_"), std::string::npos) << log;
        EXPECT_NE(log.find("src.zip" + ToGbk(L" 失败！")), std::string::npos) << log;
    }
    ::DeleteFileA((d + "log\\update.log").c_str());
    ScratchFolder other;
    PayloadCarrier damaged(other, "damaged.zip");
    std::string shown;
    PlacementRequest interactive = Request(d, damaged.Module(), false);
    interactive.showError = [&shown](const std::string& text) { shown = text; };
    EXPECT_EQ(UnpackAndPlacePayload(interactive), PlacementResult::Failed);
    EXPECT_EQ(shown, ToGbk(L"释放资源文件失败，请重新下载安装包！"));
    EXPECT_FALSE(FileExists(d + "log\\update.log"));  // interactive runs show instead of logging
}

}  // namespace
