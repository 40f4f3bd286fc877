#include "panel_driver.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace panel_testing {

namespace {

const char kPanelProgram[] = "OrmVexPanel.exe";
const UINT kTrayCallback = WM_USER + 100;
const WPARAM kTrayIconId = 134;
constexpr auto kMenuLimit = 10s;
const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string BuiltProgram(const std::string& name) {
    std::string folder = testing_support::TestProgramFolder();
    if (folder.compare(0, 5, "unix\\") == 0) folder = "\\\\?\\" + folder;
    return folder + name;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

// WM_GETTEXT itself: GetWindowText does not ask a window of another process, so an
// edit control's content would come back empty.
std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000, &copied);
    return text;
}

const wchar_t kDesktop[] = L"shell";
constexpr auto kDesktopLimit = 20s;

HWND FindOnDesktop(HDESK desktop, const std::wstring& className) {
    struct Search {
        std::wstring className;
        HWND found;
    } search{className, nullptr};
    ::EnumDesktopWindows(
        desktop,
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (ClassOf(window) != s->className) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

// A desktop with a taskbar and a notification area, as on a server; this thread
// moves onto it so that it sees the panel's windows and the screen the user sees.
bool EnterShellDesktop() {
    HDESK desktop = ::OpenDesktopW(kDesktop, 0, FALSE, GENERIC_ALL);
    if (!desktop) {
        std::string line = "explorer.exe /desktop=shell,1280x800";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            return false;
        UniqueHandleKernel p(process.hProcess), t(process.hThread);
        testing_support::WaitFor([&] { return (desktop = ::OpenDesktopW(kDesktop, 0, FALSE, GENERIC_ALL)) != nullptr; },
                                 kDesktopLimit);
        if (!desktop) return false;
    }
    if (!testing_support::WaitFor([&] { return FindOnDesktop(desktop, L"Shell_TrayWnd") != nullptr; }, kDesktopLimit))
        return false;
    return ::SetThreadDesktop(desktop) != FALSE;
}

std::wstring MainWindowTitle() { return L"Orm·防入侵集群系统 - V1.1.0"; }

std::vector<std::wstring> ChildTexts(HWND window) {
    std::vector<std::wstring> texts;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        texts.push_back(TextOf(child));
    return texts;
}

std::wstring ChildText(HWND window, int id) { return TextOf(::GetDlgItem(window, id)); }

RECT WindowRect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

std::vector<HWND> ProcessWindows(DWORD processId, const std::wstring& className, bool visibleOnly) {
    struct Search {
        DWORD id;
        std::wstring className;
        bool visibleOnly;
        std::vector<HWND> found;
    } search{processId, className, visibleOnly, {}};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner != s->id) return TRUE;
            if (s->visibleOnly && !::IsWindowVisible(window)) return TRUE;
            if (!s->className.empty() && ClassOf(window) != s->className) return TRUE;
            s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDialogWithText(DWORD processId, const std::wstring& text) {
    for (HWND dialog : ProcessWindows(processId, L"#32770", true)) {
        for (const std::wstring& child : ChildTexts(dialog))
            if (child == text) return dialog;
    }
    return nullptr;
}

void ClickControl(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    RECT r{};
    ::GetClientRect(control, &r);
    LPARAM centre = MAKELPARAM(r.right / 2, r.bottom / 2);
    ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    ::PostMessageW(control, WM_LBUTTONUP, 0, centre);
}

void TypeText(HWND control, const std::wstring& text) {
    ::SendMessageW(control, EM_SETSEL, 0, -1);
    if (text.empty()) PressKey(control, VK_DELETE);
    for (wchar_t c : text) {
        // A key without shift goes down and up; the dialog's message loop translates
        // it into the character, as for a real key. Anything else arrives as the
        // character alone, since the target's keyboard state has no shift down.
        SHORT key = ::VkKeyScanW(c);
        if (key == -1 || HIBYTE(key) != 0) {
            ::PostMessageW(control, WM_CHAR, c, 1);
            continue;
        }
        WPARAM virtualKey = LOBYTE(key);
        UINT scan = ::MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
        LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
        LPARAM up = down | (static_cast<LPARAM>(3) << 30);  // was down, is going up
        ::PostMessageW(control, WM_KEYDOWN, virtualKey, down);
        ::PostMessageW(control, WM_KEYUP, virtualKey, up);
    }
}

int TrayIconState() {
    HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    if (!tray) return -1;
    RECT r = WindowRect(tray);
    HDC screen = ::GetDC(nullptr);
    int counts[3] = {0, 0, 0};
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            COLORREF c = ::GetPixel(screen, x, y);
            int red = GetRValue(c), green = GetGValue(c), blue = GetBValue(c);
            if (red == 0x52 && green == 0xC4 && blue == 0x1A) ++counts[0];
            if (red == 0x8C && green == 0x8C && blue == 0x8C) ++counts[1];
            if (red == 0xF5 && green == 0x22 && blue == 0x2D) ++counts[2];
        }
    }
    ::ReleaseDC(nullptr, screen);
    int best = -1, most = 0;
    for (int i = 0; i < 3; ++i)
        if (counts[i] > most) most = counts[best = i];
    return best;
}

PanelScene::PanelScene() {
    EXPECT_TRUE(EnterShellDesktop());
    ::CreateDirectoryA((Folder() + "config").c_str(), nullptr);
    EXPECT_TRUE(::CopyFileA(BuiltProgram(kPanelProgram).c_str(), (Folder() + kPanelProgram).c_str(), FALSE));
}

PanelScene::~PanelScene() {
    for (auto& process : processes_) {
        if (::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) ::TerminateProcess(process.get(), 99);
    }
}

bool PanelScene::PlacePanelProgram(const std::string& folder) {
    const std::string target = (folder.empty() ? Folder() : folder) + kPanelProgram;
    return ::CopyFileA(BuiltProgram(kPanelProgram).c_str(), target.c_str(), FALSE) != FALSE;
}

size_t PanelScene::Start(const std::string& arguments) { return StartFrom(Folder(), arguments); }

size_t PanelScene::StartFrom(const std::string& folder, const std::string& arguments) {
    std::string line = "\"" + folder + kPanelProgram + "\"";
    if (!arguments.empty()) line += " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    char desktop[] = "shell";
    startup.lpDesktop = desktop;
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                                 &process));
    UniqueHandleKernel thread(process.hThread);
    processes_.emplace_back(process.hProcess);
    ids_.push_back(process.dwProcessId);
    return processes_.size() - 1;
}

bool PanelScene::WaitExit(size_t index, std::chrono::milliseconds limit, DWORD* exitCode) {
    if (::WaitForSingleObject(processes_[index].get(), static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0)
        return false;
    if (exitCode) ::GetExitCodeProcess(processes_[index].get(), exitCode);
    return true;
}

bool PanelScene::IsRunning(size_t index) const {
    return ::WaitForSingleObject(processes_[index].get(), 0) == WAIT_TIMEOUT;
}

HWND WaitPanelMainWindow(DWORD processId, std::chrono::milliseconds limit) {
    HWND found = nullptr;
    testing_support::WaitFor(
        [&] {
            for (HWND window : ProcessWindows(processId, L"#32770", false))
                if (TextOf(window) == MainWindowTitle()) found = window;
            return found != nullptr;
        },
        limit);
    return found;
}

HWND PanelScene::WaitMainWindow(std::chrono::milliseconds limit, size_t index) {
    return WaitPanelMainWindow(ids_[index], limit);
}

bool PanelScene::WaitResident(std::chrono::milliseconds limit, size_t index) {
    return WaitPanelResident(ids_[index], limit);
}

bool WaitPanelResident(DWORD processId, std::chrono::milliseconds limit) {
    auto start = std::chrono::steady_clock::now();
    HWND window = WaitPanelMainWindow(processId, limit);
    if (!window) return false;
    auto left = limit - std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    // Minimised, then hidden: the start-up timer is running. Hiding a window can keep
    // its thread waiting for the display a while longer; once the window answers a
    // message again, the timer's work is done.
    if (!testing_support::WaitFor([&] { return ::IsIconic(window) && !::IsWindowVisible(window); }, left))
        return false;
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, static_cast<UINT>(limit.count()), &result) != 0;
}

HWND PanelScene::OpenTrayMenu(size_t index) { return OpenPanelTrayMenu(ids_[index]); }

HWND OpenPanelTrayMenu(DWORD processId) {
    HWND window = WaitPanelMainWindow(processId, 20s);
    if (!window) return nullptr;
    ::PostMessageW(window, kTrayCallback, kTrayIconId, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    testing_support::WaitFor(
        [&] {
            auto menus = ProcessWindows(processId, L"#32768", true);
            if (!menus.empty()) menu = menus.front();
            return menu != nullptr;
        },
        kMenuLimit);
    return menu;
}

void PanelScene::ChooseMenuEntry(HWND menu, int position) { ChooseTrayMenuEntry(menu, position); }

void ChooseTrayMenuEntry(HWND menu, int position) {
    for (int i = 0; i <= position; ++i) ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
}

bool AutorunValuePresent() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    UniqueHKey run(key);
    return ::RegQueryValueExA(run.get(), "OrmVexPanel", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool RegisterAddressRecorder(const std::string& folder) {
    std::string recorder = folder + "url_recorder.exe";
    if (!::CopyFileA(BuiltProgram("url_recorder.exe").c_str(), recorder.c_str(), FALSE)) return false;
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
        return false;
    UniqueHKey command(key);
    std::string value = "\"" + recorder + "\" \"%1\"";
    if (::RegSetValueExA(command.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
        return false;
    // A DDE conversation would go to the browser that is no longer there.
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, "http\\shell\\open\\ddeexec\\Application");
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, "http\\shell\\open\\ddeexec\\Topic");
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, "http\\shell\\open\\ddeexec");
    return true;
}

int MessageKindColour(HWND dialog) {
    RECT r = WindowRect(::GetDlgItem(dialog, 1023));
    HDC screen = ::GetDC(nullptr);
    const COLORREF colours[] = {RGB(0x52, 0xC4, 0x1A), RGB(0x8C, 0x8C, 0x8C), RGB(0xF5, 0x22, 0x2D),
                                RGB(0xFA, 0x8C, 0x16)};
    int counts[4] = {0, 0, 0, 0};
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            COLORREF c = ::GetPixel(screen, x, y);
            for (int i = 0; i < 4; ++i)
                if (c == colours[i]) ++counts[i];
        }
    ::ReleaseDC(nullptr, screen);
    int best = -1, most = 0;
    for (int i = 0; i < 4; ++i)
        if (counts[i] > most) most = counts[best = i];
    return best;
}

std::vector<std::wstring> OpenMenuTexts(DWORD processId, const std::string& folder) {
    std::vector<std::wstring> texts;
    const std::string probe = folder + "menu_probe.dll";
    const char kTextsFile[] = "C:\\menu_texts.txt";
    ::DeleteFileA(kTextsFile);
    if (!::CopyFileA(BuiltProgram("menu_probe.dll").c_str(), probe.c_str(), FALSE)) return texts;
    if (!testing_support::LoadIntoProcess(processId, probe)) return texts;
    if (!testing_support::WaitFor([&] { return testing_support::FileExists(kTextsFile); }, 10s)) return texts;
    std::string utf8 = testing_support::ReadFileText(kTextsFile);
    size_t start = 0;
    while (start < utf8.size()) {
        size_t end = utf8.find('\n', start);
        if (end == std::string::npos) end = utf8.size();
        std::string line = utf8.substr(start, end - start);
        size_t tab = line.find('\t');
        std::string text = tab == std::string::npos ? line : line.substr(tab + 1);
        int size = ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
        std::wstring wide(static_cast<size_t>(size), L'\0');
        ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), wide.data(), size);
        texts.push_back(wide);
        start = end + 1;
    }
    return texts;
}

// Dialogs of the access settings, port, switch and repair flows.
HWND WaitDialogWithText(DWORD processId, const std::wstring& text, std::chrono::milliseconds limit) {
    HWND dialog = nullptr;
    testing_support::WaitFor([&] { return (dialog = FindDialogWithText(processId, text)) != nullptr; }, limit);
    return dialog;
}

bool WaitWindowGone(HWND window, std::chrono::milliseconds limit) {
    return testing_support::WaitFor([&] { return !::IsWindow(window) || !::IsWindowVisible(window); }, limit);
}

void PressKey(HWND window, UINT virtualKey) {
    UINT scan = ::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    ::PostMessageW(window, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    ::PostMessageW(window, WM_KEYUP, virtualKey, 1 | (scan << 16) | (1u << 30) | (1u << 31));
}

bool ChooseTrayEntry(PanelScene& scene, MenuEntry entry) {
    HWND menu = scene.OpenTrayMenu();
    if (!menu) return false;
    scene.ChooseMenuEntry(menu, entry);
    return true;
}

void StartEngineAndResidentPanel(PanelScene& scene, const std::string& settings) {
    ASSERT_TRUE(scene.Engine().WriteSettings(settings));
    ASSERT_TRUE(scene.Engine().Start());
    scene.Start("autorun");
    ASSERT_TRUE(scene.WaitResident());
}

std::string RecordedRequests(PanelScene& scene) {
    return testing_support::ReadFileText(scene.ConfigFile("requests.txt"));
}

void ForgetRecordedRequests(PanelScene& scene) { ::DeleteFileA(scene.ConfigFile("requests.txt").c_str()); }

std::string StandinSetting(PanelScene& scene, const char* key) {
    char value[256] = {};
    ::GetPrivateProfileStringA("standin", key, "", value, sizeof value, scene.ConfigFile("standin.ini").c_str());
    return value;
}

void ExpectMessage(PanelScene& scene, const std::wstring& title, const std::wstring& text, int colour,
                   const char* screenshot) {
    const int kMessageText = 1028;
    HWND message = WaitDialogWithText(scene.ProcessId(), title);
    ASSERT_NE(message, nullptr) << "no message titled as expected";
    EXPECT_EQ(ChildText(message, kMessageText), text);
    EXPECT_EQ(MessageKindColour(message), colour);
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(message, IDCANCEL)));
    if (screenshot) SaveScreenshot(message, screenshot);
    ClickControl(message, IDOK);
    ASSERT_TRUE(WaitWindowGone(message));
}

std::string ClipboardText() {
    std::string text;
    if (!::OpenClipboard(nullptr)) return text;
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(::GlobalLock(data))) {
            text = bytes;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

void ClearClipboard() {
    if (!::OpenClipboard(nullptr)) return;
    ::EmptyClipboard();
    ::CloseClipboard();
}

bool CopyBuiltProgram(const std::string& name, const std::string& destination) {
    return ::CopyFileA(BuiltProgram(name).c_str(), destination.c_str(), FALSE) != FALSE;
}

}  // namespace panel_testing
