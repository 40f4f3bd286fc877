#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>

#include "foundation/process.h"
#include "foundation/text.h"
#include "foundation/unique_handle.h"
#include "support/test_support.h"

namespace {

using testing_support::FileExists;
using testing_support::ReadFileText;
using testing_support::ScratchFolder;

TEST(RunAndWait, WaitsForTheProgram) {
    const std::string sleeper = testing_support::TestProgramFolder() + "test_sleeper.exe";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RunAndWait(sleeper, "700"), 1);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(700 + 500));  // the run, then the settle delay
}

TEST(RunAndWait, RefusesFoldersAndMissingPrograms) {
    ScratchFolder dir;
    EXPECT_EQ(RunAndWait(dir.Path(), ""), 0);
    EXPECT_EQ(RunAndWait(dir / "missing.exe", ""), 0);
}

TEST(RunBatchText, RunsThroughCmdAndDeletesTheBatch) {
    ScratchFolder dir;
    const std::string batch = dir / "job.bat";
    const std::string marker = dir / "marker.txt";
    EXPECT_EQ(RunBatchText(batch, "@echo off\necho done>\"" + marker + "\"\n"), 1);
    EXPECT_EQ(TrimSpace(ReadFileText(marker)), "done");
    EXPECT_FALSE(FileExists(batch));
    EXPECT_EQ(RunBatchText(dir / "no\\such\\job.bat", "echo x"), 0);
}

TEST(CopyToClipboard, PlacesAnsiText) {
    const std::string text = "http://localhost:6689/" + ToGbk(L"路径");
    ASSERT_EQ(CopyToClipboard(text), 1);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    HANDLE data = ::GetClipboardData(CF_TEXT);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(::GlobalLock(data))), text);
    ::GlobalUnlock(data);
    ::CloseClipboard();
    EXPECT_EQ(CopyToClipboard(""), 1);
}

TEST(OpenWithShell, EmptyTextDoesNothing) { EXPECT_EQ(OpenWithShell(""), 0); }

TEST(IsWow64, FalseInA64BitProcess) { EXPECT_EQ(IsWow64(), 0); }

}  // namespace
