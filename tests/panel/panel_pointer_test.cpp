// What the panel's windows do under the real mouse pointer: the upgrade note on the
// version, the installation folder opened by a click, and windows dragged by any
// free point. Input goes through SendInput, as a user's hand would.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <windows.h>
#include <commctrl.h>

#include "foundation/text.h"
#include "panel_driver.h"
#include "support/test_support.h"

using namespace panel_testing;
using testing_support::WaitFor;

namespace {
constexpr auto kDialogLimit = 15s;
const int kVersion = 1016, kFolder = 1022;
const wchar_t kInformationTitle[] = L"Orm·防入侵集群系统 - 基本信息";

void SendMouse(DWORD flags, POINT at = {}) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        input.mi.dx = MulDiv(at.x, 65536, ::GetSystemMetrics(SM_CXSCREEN)) + 1;
        input.mi.dy = MulDiv(at.y, 65536, ::GetSystemMetrics(SM_CYSCREEN)) + 1;
    }
    ::SendInput(1, &input, sizeof input);
}

// Moves the pointer and waits until the system has it there: a press sent before
// the move arrived would start from the old place. Under Wine an injected move
// reaches the X pointer late, and a window's move loop starts from the X pointer,
// so the pointer is also placed directly.
void MovePointer(POINT at) {
    ::SetCursorPos(at.x, at.y);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, at);
    WaitFor(
        [&] {
            POINT now{};
            ::GetCursorPos(&now);
            return now.x == at.x && now.y == at.y;
        },
        2s);
}

POINT CentreOf(HWND window) {
    RECT r = WindowRect(window);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Presses the left button at `from`, moves the pointer by (dx, dy) in small steps
// and lets go, as a user dragging a window does.
void Drag(POINT from, int dx, int dy) {
    const int kSteps = 8;
    const DWORD kStepPauseMs = 30, kSettleMs = 300;
    // Wine's move loop may start from the pointer's previous place: a first stop one
    // pixel away keeps that error to one pixel.
    MovePointer({from.x + 1, from.y + 1});
    ::Sleep(kSettleMs);
    MovePointer(from);
    ::Sleep(kSettleMs);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    // The window's move loop starts from the press; give it each step's move.
    for (int i = 1; i <= kSteps; ++i) {
        ::Sleep(kStepPauseMs);
        MovePointer({from.x + dx * i / kSteps, from.y + dy * i / kSteps});
    }
    ::Sleep(kStepPauseMs);
    SendMouse(MOUSEEVENTF_LEFTUP);
}

// The window stands (dx, dy) from where it stood, give or take the one pixel of
// the pointer's first stop.
bool MovedBy(HWND window, RECT before, int dx, int dy) {
    RECT now = WindowRect(window);
    return std::abs(now.left - before.left - dx) <= 1 && std::abs(now.top - before.top - dy) <= 1;
}

HWND WaitDialog(PanelScene& scene, const std::wstring& text) {
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = FindDialogWithText(scene.ProcessId(), text)) != nullptr; }, kDialogLimit);
    return dialog;
}

// The panel's visible tooltip windows whose text is `text`. The text lives in the
// panel's memory, so the question goes through a buffer there.
bool TooltipShowing(DWORD processId, const std::wstring& text) {
    for (HWND tip : ProcessWindows(processId, L"tooltips_class32", true)) {
        UniqueHandleKernel process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                                 processId));
        if (!process) return false;
        const SIZE_T kTextCapacity = 256;
        SIZE_T size = sizeof(TOOLINFOW) + kTextCapacity * sizeof(wchar_t);
        auto* remote = static_cast<char*>(::VirtualAllocEx(process.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE));
        if (!remote) return false;
        TOOLINFOW info{};
        info.cbSize = sizeof info;
        info.lpszText = reinterpret_cast<wchar_t*>(remote + sizeof info);
        ::WriteProcessMemory(process.get(), remote, &info, sizeof info, nullptr);
        DWORD_PTR current = 0;
        ::SendMessageTimeoutW(tip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(remote), SMTO_BLOCK, 5000, &current);
        wchar_t shown[kTextCapacity] = {};
        ::ReadProcessMemory(process.get(), remote + sizeof info, shown, sizeof shown - sizeof(wchar_t), nullptr);
        ::VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
        if (current && text == shown) return true;
    }
    return false;
}

// Makes the address recorder the prefix's handler for opening folders, so that a
// folder opened by the panel lands in C:\opened_address.txt instead of a window.
bool RegisterFolderRecorder(const std::string& folder) {
    if (!RegisterAddressRecorder(folder)) return false;
    std::string value = "\"" + folder + "url_recorder.exe\" \"%1\"";
    for (const char* path : {"Directory\\shell\\open\\command", "Folder\\shell\\open\\command"}) {
        HKEY key = nullptr;
        if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return false;
        UniqueHKey command(key);
        if (::RegSetValueExA(command.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
            return false;
    }
    return true;
}

struct VersionCase {
    const char* name;
    const wchar_t* version;
    bool noteShown;
};

void PrintTo(const VersionCase& c, std::ostream* out) { *out << c.name; }

class PanelUpgradeNote : public ::testing::TestWithParam<VersionCase> {};
}  // namespace

TEST_P(PanelUpgradeNote, HoveringTheVersionShowsTheNoteOnlyWhenAnUpgradeIsOffered) {
    const VersionCase& c = GetParam();
    PanelScene scene;
    ASSERT_TRUE(scene.Engine().WriteSettings("[standin]\r\nversion=" + ToGbk(c.version) + "\r\n"));
    ASSERT_TRUE(scene.Engine().Start());
    scene.Start();
    HWND dialog = WaitDialog(scene, kInformationTitle);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ChildText(dialog, kVersion), c.version);
    const std::wstring note = L"请登录管理面板在线升级";
    // Two moves over the version: the tooltip learns of the pointer through the
    // dialog's relayed mouse moves.
    POINT over = CentreOf(::GetDlgItem(dialog, kVersion));
    MovePointer({over.x - 5, over.y});
    MovePointer(over);
    bool shown = WaitFor([&] { return TooltipShowing(scene.ProcessId(), note); }, c.noteShown ? 5s : 1500ms);
    EXPECT_EQ(shown, c.noteShown);
    if (!c.noteShown) return;
    SaveScreenshot(dialog, "panel_information_upgrade_note");
    // Shown for three seconds, then it goes by itself while the pointer stays.
    auto since = std::chrono::steady_clock::now();
    EXPECT_TRUE(WaitFor([&] { return !TooltipShowing(scene.ProcessId(), note); }, 8s));
    auto shownFor =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since).count();
    EXPECT_GT(shownFor, 2000) << "the note was gone after " << shownFor << " ms";
}

INSTANTIATE_TEST_SUITE_P(Versions, PanelUpgradeNote,
                         ::testing::Values(VersionCase{"offered", L"1.1.0（可升级）", true},
                                           VersionCase{"current", L"1.1.0", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PanelInformation, ClickOnTheInstallationFolderOpensIt) {
    PanelScene scene;
    ASSERT_TRUE(scene.Engine().Start());
    ASSERT_TRUE(RegisterFolderRecorder(scene.Folder()));
    scene.Start();
    HWND dialog = WaitDialog(scene, kInformationTitle);
    ASSERT_NE(dialog, nullptr);
    ClickControl(dialog, kFolder);
    EXPECT_EQ(WaitOpenedAddress(), scene.Folder());
}

TEST(PanelDragging, FramedAndMessageDialogsMoveWithAPressOnAFreePoint) {
    PanelScene scene;
    ASSERT_TRUE(scene.Engine().Start());
    scene.Start();
    HWND information = WaitDialog(scene, kInformationTitle);
    ASSERT_NE(information, nullptr);
    // The left column between the version and the addresses holds no control.
    RECT before = WindowRect(information);
    Drag({before.left + 60, before.top + 200}, -40, 30);
    ASSERT_TRUE(WaitFor([&] { return MovedBy(information, before, -40, 30); }, 5s))
        << WindowRect(information).left << "," << WindowRect(information).top << " from " << before.left << ","
        << before.top;
    ::PostMessageW(information, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(information); }, kDialogLimit));

    // The quit question is a message dialog: a press beside its text moves it too.
    ASSERT_TRUE(scene.WaitResident());
    HWND menu = scene.OpenTrayMenu();
    ASSERT_NE(menu, nullptr);
    scene.ChooseMenuEntry(menu, kQuit);
    HWND question = WaitDialog(scene, L"退出托盘确认");
    ASSERT_NE(question, nullptr);
    before = WindowRect(question);
    Drag({before.left + 8, before.bottom - 8}, 50, -20);
    ASSERT_TRUE(WaitFor([&] { return MovedBy(question, before, 50, -20); }, 5s))
        << WindowRect(question).left << "," << WindowRect(question).top << " from " << before.left << ","
        << before.top;
    EXPECT_TRUE(scene.IsRunning());
}
