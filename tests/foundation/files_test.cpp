#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "foundation/files.h"
#include "foundation/text.h"
#include "foundation/unique_handle.h"
#include "foundation/wow64_fs_guard.h"
#include "support/test_support.h"

namespace {

using testing_support::FileExists;
using testing_support::FolderExists;
using testing_support::ReadFileText;
using testing_support::ScratchFolder;
using testing_support::WriteFileBytes;

TEST(Paths, ModuleAndWindowsFolders) {
    EXPECT_EQ(ModuleFolder(), testing_support::TestProgramFolder());
    const std::string windows = WindowsFolder();
    EXPECT_EQ(windows.back(), '\\');
    EXPECT_TRUE(PathIs(windows, true));
}

TEST(Paths, PathIsTellsFilesFromFolders) {
    ScratchFolder dir;
    WriteFileBytes(dir / "f.txt", "x");
    EXPECT_TRUE(PathIs(dir / "f.txt", false));
    EXPECT_FALSE(PathIs(dir / "f.txt", true));
    EXPECT_TRUE(PathIs(dir.Path(), true));
    EXPECT_FALSE(PathIs(dir.Path(), false));
    EXPECT_FALSE(PathIs("", false));
    EXPECT_FALSE(PathIs(dir / "missing", false));
    EXPECT_TRUE(FileExistsReal(dir / "f.txt"));
    EXPECT_TRUE(PathExistsReal(dir / "f.txt", false));
    EXPECT_FALSE(PathExistsReal(dir / "f.txt", true));
    EXPECT_FALSE(PathExistsReal("", false));
}

TEST(Paths, CreateFolderPathMakesEveryLevel) {
    ScratchFolder dir;
    EXPECT_TRUE(CreateFolderPath(dir / "x/y\\z"));
    EXPECT_TRUE(FolderExists(dir / "x\\y\\z"));
    EXPECT_TRUE(CreateFolderPath(dir / "x\\y\\z\\"));
    WriteFileBytes(dir / "file", "x");
    EXPECT_FALSE(CreateFolderPath(dir / "file\\sub"));  // a file stands in the way
}

TEST(ReadWholeFile, Cases) {
    ScratchFolder dir;
    std::string out = "untouched";
    WriteFileBytes(dir / "four", "abcd");
    EXPECT_EQ(ReadWholeFile(out, dir / "four"), 0u);
    EXPECT_EQ(out, "untouched");
    WriteFileBytes(dir / "empty", "");
    EXPECT_EQ(ReadWholeFile(out, dir / "empty"), 0u);
    EXPECT_EQ(ReadWholeFile(out, dir / "missing"), 0u);
    EXPECT_EQ(ReadWholeFile(out, ""), 0u);
    EXPECT_EQ(ReadWholeFile(out, dir.Path()), 0u);
    WriteFileBytes(dir / "zeros", std::string("ab\0\0cd\0e", 8));
    EXPECT_EQ(ReadWholeFile(out, dir / "zeros"), 8u);
    EXPECT_EQ(out, "abcde");
    WriteFileBytes(dir / "five", "12345");
    EXPECT_EQ(ReadWholeFile(out, dir / "five"), 5u);
    EXPECT_EQ(out, "12345");
    const std::string chinese = "<data>\xB3\xC9\xB9\xA6</data>";
    WriteFileBytes(dir / "gbk", chinese);
    EXPECT_EQ(ReadWholeFile(out, dir / "gbk"), chinese.size());
    EXPECT_EQ(out, chinese);
}

TEST(ReadWholeFile, RefusesFilesOver100MiB) {
    ScratchFolder dir;
    const std::string path = dir / "huge";
    {
        UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
        LARGE_INTEGER size;
        size.QuadPart = 100LL * 1024 * 1024 + 1;
        ASSERT_TRUE(::SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(::SetEndOfFile(file.get()));
    }
    std::string out = "untouched";
    EXPECT_EQ(ReadWholeFile(out, path), 0u);
    EXPECT_EQ(out, "untouched");
}

TEST(WriteTextFile, LineEndsAppendAndSlashes) {
    ScratchFolder dir;
    std::string forward = dir.Path();
    for (char& c : forward)
        if (c == '\\') c = '/';
    EXPECT_EQ(WriteTextFile(forward + "t.txt", true, false, "a\nb"), 1);
    EXPECT_EQ(ReadFileText(dir / "t.txt"), "a\r\nb\r\n");
    EXPECT_EQ(WriteTextFile(dir / "t.txt", false, true, "c"), 1);
    EXPECT_EQ(ReadFileText(dir / "t.txt"), "a\r\nb\r\nc");
    EXPECT_EQ(WriteTextFile(dir / "t.txt", false, false, "new"), 1);
    EXPECT_EQ(ReadFileText(dir / "t.txt"), "new");
    EXPECT_EQ(WriteTextFile(dir / "no\\such\\folder\\t.txt", true, true, "x"), 0);
    EXPECT_FALSE(FolderExists(dir / "no"));
}

TEST(DeleteFileForce, Cases) {
    ScratchFolder dir;
    WriteFileBytes(dir / "ro.txt", "x");
    ::SetFileAttributesA((dir / "ro.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(DeleteFileForce(dir / "ro.txt"), 1);
    EXPECT_FALSE(FileExists(dir / "ro.txt"));
    EXPECT_EQ(DeleteFileForce(""), 1);
    EXPECT_EQ(DeleteFileForce(dir / "missing"), 1);
    ::CreateDirectoryA((dir / "sub").c_str(), nullptr);
    EXPECT_EQ(DeleteFileForce(dir / "sub"), 1);
    EXPECT_TRUE(FolderExists(dir / "sub"));
}

TEST(WriteBufferToFile, WritesOrExplains) {
    ScratchFolder dir;
    std::string error;
    const std::string bytes("z\0y", 3);
    EXPECT_EQ(WriteBufferToFile(bytes.data(), error, dir / "b.bin", bytes.size()), 1);
    EXPECT_EQ(ReadFileText(dir / "b.bin"), bytes);
    EXPECT_EQ(WriteBufferToFile(bytes.data(), error, "", 3), 0);
    EXPECT_EQ(error, ToGbk(L"文件路径为空"));
    EXPECT_EQ(WriteBufferToFile(bytes.data(), error, dir / "no\\such\\b.bin", 3), 0);
    EXPECT_EQ(error, ToGbk(L"打开文件失败，错误码") + "3");  // ERROR_PATH_NOT_FOUND
}

TEST(ListFolderNames, FilterAndOrder) {
    ScratchFolder dir;
    for (const char* name : {"b.log", "a.log", "debug.log", "system.log", "c.txt"})
        WriteFileBytes(dir / name, "x");
    ::CreateDirectoryA((dir / "zdir").c_str(), nullptr);
    std::vector<std::string> names{"stale"};
    EXPECT_EQ(ListFolderNames("log", names, dir.Path()), 2u);
    EXPECT_EQ(names, (std::vector<std::string>{"a.log", "b.log"}));
    EXPECT_EQ(ListFolderNames("", names, dir.Path()), 6u);  // five files and one folder
    EXPECT_EQ(names.front(), "a.log");
    EXPECT_EQ(names.back(), "zdir");
    EXPECT_EQ(ListFolderNames("*", names, dir / "missing"), 0u);
    EXPECT_TRUE(names.empty());
}

TEST(COrmFile, ListFolderKindsWindowAndRecursion) {
    ScratchFolder dir;
    WriteFileBytes(dir / "a.LNK", "link");
    WriteFileBytes(dir / "empty.lnk", "");
    WriteFileBytes(dir / "c.txt", "x");
    ::CreateDirectoryA((dir / "config").c_str(), nullptr);
    WriteFileBytes(dir / "config\\inner.txt", "x");
    COrmFile file;
    std::vector<FolderEntry> files, folders;
    ListOptions options;
    ASSERT_EQ(file.ListFolder(ListSelection::FilesAndFolders, files, folders, dir.Path(), options), 1);
    ASSERT_EQ(files.size(), 3u);
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(folders[0].name, "config");
    EXPECT_EQ(folders[0].path, dir / "config");
    for (const FolderEntry& e : files) EXPECT_EQ(e.kind, e.name == "a.LNK" ? 4 : 1) << e.name;

    ListOptions recursive;
    recursive.recurse = true;
    file.ListFolder(ListSelection::FilesAndFolders, files, folders, dir.Path(), recursive);
    EXPECT_EQ(files.size(), 4u);
    EXPECT_EQ(folders.size(), 1u);
    ListOptions filesOnly;  // folders are neither listed nor entered
    filesOnly.recurse = true;
    file.ListFolder(ListSelection::FilesOnly, files, folders, dir.Path(), filesOnly);
    EXPECT_EQ(files.size(), 3u);

    ListOptions window;
    window.first = 1;
    window.last = 2;
    file.ListFolder(ListSelection::FilesOnly, files, folders, dir.Path(), window);
    EXPECT_EQ(files.size(), 1u);
    EXPECT_EQ(window.filesSeen, 3u);

    ListOptions filtered;
    filtered.filterOn = true;
    filtered.filter = "lnk";
    file.ListFolder(ListSelection::FilesAndFolders, files, folders, dir.Path(), filtered);
    EXPECT_EQ(files.size(), 2u);
    EXPECT_TRUE(folders.empty());
    EXPECT_EQ(file.ListFolder(ListSelection::FilesAndFolders, files, folders, dir / "missing", options), 0);
}

TEST(COrmFile, DeleteCopyAndRenameTrees) {
    ScratchFolder dir;
    COrmFile file;
    CreateFolderPath(dir / "src\\http\\img");
    WriteFileBytes(dir / "src\\http\\index.html", "<html>");
    WriteFileBytes(dir / "src\\http\\img\\a.png", "png");
    ::SetFileAttributesA((dir / "src\\http\\img\\a.png").c_str(), FILE_ATTRIBUTE_READONLY);
    ::CreateDirectoryA((dir / "dst").c_str(), nullptr);

    EXPECT_NE(file.CopyTree(dir / "src\\http\\", dir / "dst"), 0);
    EXPECT_EQ(ReadFileText(dir / "dst\\http\\img\\a.png"), "png");
    EXPECT_NE(file.CopyTree(dir / "src\\http\\index.html", dir / "dst"), 0);
    EXPECT_EQ(ReadFileText(dir / "dst\\index.html"), "<html>");
    EXPECT_EQ(file.CopyTree(dir / "missing", dir / "dst"), 0);

    EXPECT_EQ(file.RenamePath(dir / "dst\\index.html", dir / "dst\\renamed.html"), 1);
    EXPECT_TRUE(FileExists(dir / "dst\\renamed.html"));
    EXPECT_EQ(file.RenamePath(dir / "dst\\missing", dir / "dst\\x"), 0);

    EXPECT_EQ(file.DeleteTree(dir / "dst\\http"), 1);  // holds a read-only file
    EXPECT_FALSE(FolderExists(dir / "dst\\http"));
    EXPECT_EQ(file.DeleteTree(dir / "dst\\renamed.html"), 1);
    EXPECT_EQ(file.DeleteTree(dir / "dst\\http"), 0);
    EXPECT_EQ(file.DeleteTree(dir.Path() + std::string(300, 'x')), 0);

    EXPECT_EQ(file.CopyFileBytes(dir / "src\\http\\index.html", dir / "copy.html"), 1);
    EXPECT_EQ(ReadFileText(dir / "copy.html"), "<html>");
    EXPECT_EQ(file.CopyFileBytes(dir / "missing", dir / "copy2.html"), 0);
}


TEST(COrmFile, ReplaceFileUnderARunningProgram) {
    ScratchFolder dir;
    COrmFile file;
    const std::string sleeper = testing_support::TestProgramFolder() + "test_sleeper.exe";
    const std::string target = dir / "engine.exe";
    ASSERT_TRUE(::CopyFileA(sleeper.c_str(), target.c_str(), FALSE));
    UniqueHandleKernel running = testing_support::StartProgram("\"" + target + "\" 30000");
    ASSERT_TRUE(running);
    ::Sleep(300);
    ASSERT_FALSE(::DeleteFileA(target.c_str()));  // really in use

    WriteFileBytes(dir / "new.exe", "new bytes");
    EXPECT_EQ(file.ReplaceFile(dir / "new.exe", target), 1);
    EXPECT_EQ(ReadFileText(target), "new bytes");
    EXPECT_TRUE(FileExists(target + ".del"));
    EXPECT_EQ(::WaitForSingleObject(running.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the program keeps running";

    // A second replacement while the ".del" is still locked moves it to a stamped name.
    WriteFileBytes(dir / "newer.exe", "newer bytes");
    EXPECT_EQ(file.ReplaceFile(dir / "newer.exe", target), 1);
    EXPECT_EQ(ReadFileText(target), "newer bytes");
    std::vector<std::string> leftovers;
    ListFolderNames("del", leftovers, dir.Path());
    EXPECT_EQ(leftovers.size(), 2u);  // engine.exe.del (the "new bytes") and engine.exe.<seconds>.del
    ::TerminateProcess(running.get(), 0);
    ::WaitForSingleObject(running.get(), 5000);

    EXPECT_EQ(file.ReplaceFile(dir / "missing.exe", target), 0);
    EXPECT_EQ(file.ReplaceFile(dir / "new.exe", dir / "fresh.exe"), 1);  // no old file: plain copy
    EXPECT_FALSE(FileExists(dir / "fresh.exe.del"));
}

TEST(Wow64FsGuard, InactiveInA64BitProcess) {
    EXPECT_FALSE(IsWow64Process());
    Wow64FsGuard guard;
    EXPECT_TRUE(guard.Load());
    guard.Unload();
    EXPECT_FALSE(guard.Disabled());
    RedirectionOff off;  // nothing to do here, but must be harmless
    EXPECT_TRUE(PathIs(WindowsFolder() + "system32", true));
}

}  // namespace
