#include "panel/ormvex_panel_dlg.h"

#include "foundation/files.h"
#include "foundation/hardware.h"
#include "foundation/process.h"
#include "framework/app.h"
#include "framework/gdi.h"
#include "panel/dialog_msg.h"
#include "panel/dialog_msg_quit.h"
#include "panel/dialog_show.h"
#include "panel/panel_values.h"
#include "panel/uninstall.h"
#include "resources/panel/resource.h"

namespace {
const UINT_PTR kStartTimer = 2;
const UINT kStartTimerMs = 500;         // the window shows this long, then lives in the tray
const int kWindowWidth = 402, kWindowHeight = 252;
const DWORD kStatusThreadStopWaitMs = 1000;  // the thread may sit in a dialog; the process ends anyway
const char kVersion[] = "1.1.0";
const wchar_t kMutexName[] = L"OrmVexPanel6689";
const char kAutorunValue[] = "OrmVexPanel";
}  // namespace

COrmVexPanelDlg::COrmVexPanelDlg(HWND parent) : CDialogEx(IDD_PANEL_MAIN, parent) {}

COrmVexPanelDlg::~COrmVexPanelDlg() {
    Quitting = 1;
    if (statusThread_) ::WaitForSingleObject(statusThread_.get(), kStatusThreadStopWaitMs);
}

void COrmVexPanelDlg::DoDataExchange(CDataExchange* exchange) {
    CDialogEx::DoDataExchange(exchange);
    if (!testButton.GetSafeHwnd()) testButton.SubclassDlgItem(IDC_TEST_BUTTON, m_hWnd);
}

BOOL COrmVexPanelDlg::OnInitDialog() {
    // 1. Framework initialisation.
    CDialogEx::OnInitDialog();
    std::string folder = ProgramFolder();
    // 2. The leftover of an upgrade.
    if (FileExistsReal(folder + "OrmVexPanel.exe.del")) DeleteFileForce(folder + "OrmVexPanel.exe.del");
    // 3. Command line: only the second word counts.
    std::string commandLine = ::GetCommandLineA();
    ToLowerInPlace(commandLine);
    std::vector<std::string> words;
    SplitText(commandLine, " ", 1, words);
    if (words.size() >= 2) {
        if (TrimSpace(words[1]) == "uninstall") {
            RunUninstall(*this);
            ::ExitProcess(0);
        }
        if (words[1].find("autorun") != std::string::npos) SuppressInfo = 1;
    }
    // 4. Single instance: a second panel hands over to the first and ends.
    InstanceMutex.reset(::CreateMutexW(nullptr, FALSE, kMutexName));
    if (InstanceMutex && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        WriteTextFile(folder + "config\\showpanel.txt", true, true, NowSecondsText());
        ::ExitProcess(1);
    }
    // 5. to 8. Window, tray icon, channel key, status thread, start-up timer.
    StartMainWindow();
    // 9. The autostart value comes back at every normal start.
    if (FileExistsReal(folder + "OrmVexPanel.exe"))
        CHardware().SetAutorun(folder + "OrmVexPanel.exe", kAutorunValue, AutorunFlavour::Panel);
    return TRUE;
}

void COrmVexPanelDlg::StartMainWindow() {
    // 1. Topmost and shown, with the small icon.
    RECT placed = GetWindowRect();
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, placed.left, placed.top, placed.right - placed.left,
                   placed.bottom - placed.top, SWP_SHOWWINDOW);
    windowIcon = LoadIconResource(IDI_PANEL_WINDOW, ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(windowIcon.get()));
    // 2. Title.
    std::wstring title = ProductName() + L" - V" + converter.MultiToWide(kVersion);
    SetWindowTextW(title);
    // 3. Tray icon.
    HICON trayPicture = static_cast<HICON>(::LoadImageW(AfxInstance(), MAKEINTRESOURCEW(IDI_TRAY_ON), IMAGE_ICON,
                                                        ::GetSystemMetrics(SM_CXSMICON),
                                                        ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    trayIcon.Create(m_hWnd, title, trayPicture);
    // 4. Size.
    ::MoveWindow(m_hWnd, placed.left, placed.top, kWindowWidth, kWindowHeight, TRUE);
    // 5. Channel key.
    channel.ChannelKeyText();
    // 6. Status file and thread.
    StatusReader.SetFile(ProgramFolder() + "config\\cache.ini");
    statusThread_.reset(::CreateThread(nullptr, 0, &COrmVexPanelDlg::StatusThread, this, 0, nullptr));
    // 7. Start-up timer.
    ::SetTimer(m_hWnd, kStartTimer, kStartTimerMs, nullptr);
}

void COrmVexPanelDlg::OnTimer(UINT_PTR id) {
    if (id != kStartTimer) {
        CDialogEx::OnTimer(id);
        return;
    }
    ::KillTimer(m_hWnd, kStartTimer);
    ::ShowWindow(m_hWnd, SW_MINIMIZE);
    ::ShowWindow(m_hWnd, SW_HIDE);
    // The panel now sits idle in the tray for days; give its start-up pages back.
    ::SetProcessWorkingSetSize(::GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
    if (!SuppressInfo) ShowInformation();
    SuppressInfo = 0;
}

BOOL COrmVexPanelDlg::PreTranslateMessage(MSG* msg) {
    bool key = msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST;
    if (key && msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) return TRUE;
    if (key && msg->wParam == VK_RETURN) return TRUE;
    return CDialogEx::PreTranslateMessage(msg);
}

LRESULT COrmVexPanelDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == CTrayIcon::kCallbackMessage) {
        if (lParam == WM_RBUTTONDOWN) ShowTrayMenu();
        if (lParam == WM_LBUTTONDBLCLK) ShowInformation();
    }
    return CDialogEx::WindowProc(message, wParam, lParam);
}

bool COrmVexPanelDlg::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDOK) {
        Quitting = 1;
        trayIcon.Remove();
        CDialogEx::OnOK();
        return true;
    }
    if (id == IDC_TITLE || id == IDC_TEST_BUTTON) return true;
    if (id >= ID_MENU_OPEN_SITE && id <= ID_MENU_QUIT) return true;  // menu ids come from the tray menu only
    if (id == ID_MENU_ACCESS) return true;
    return CDialogEx::OnCommand(id, code, control);
}

void COrmVexPanelDlg::OnOK() {
    Quitting = 1;
    trayIcon.Remove();
    InstanceMutex.reset();
    ::DestroyWindow(m_hWnd);
    EndDialog(IDOK);
}

void COrmVexPanelDlg::OnCancel() {
    Quitting = 1;
    trayIcon.Remove();
    InstanceMutex.reset();
    ::DestroyWindow(m_hWnd);
    EndDialog(IDCANCEL);
}

BOOL COrmVexPanelDlg::DestroyWindow() {
    Quitting = 1;
    trayIcon.Remove();
    return CDialogEx::DestroyWindow();
}

BOOL COrmVexPanelDlg::OnEraseBkgnd(HDC dc) {
    if (!background_) background_ = LoadBitmapResource(IDB_PANEL_BACKGROUND);
    RECT client = GetClientRect();
    DrawBitmapPart(dc, background_.get(), 0, 0, client.right, client.bottom);
    return TRUE;
}

void COrmVexPanelDlg::OnPaint() {
    if (!::IsIconic(m_hWnd)) {
        CDialogEx::OnPaint();
        return;
    }
    CPaintDC dc(m_hWnd);
    RECT client = GetClientRect();
    int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc.get(), x, y, windowIcon.get());
}

HCURSOR COrmVexPanelDlg::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(windowIcon.get()); }

void COrmVexPanelDlg::OnLButtonDown(UINT, POINT point) {
    ::PostMessageW(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
}

bool COrmVexPanelDlg::SendEngineCommand(const std::string& word, const std::string& parameters,
                                        std::string& answer) {
    return channel.SendEngineCommand(word, parameters, answer);
}

void COrmVexPanelDlg::OpenManagementSite() {
    std::string answer;
    bool done = SendEngineCommand("geturl", "", answer);
    std::string data = TextBetween(answer, "<data>", "</data>");
    if (!done) {
        CDialogMsg message;
        message.SetMessage(3, false, L"错误", converter.MultiToWide(data));
        message.DoModal();
        return;
    }
    std::string address = TextBetween(data, "<localurl>", "</localurl>");
    if (address.empty()) address = "http://localhost:6689";
    OpenWithShell(address);
}

void COrmVexPanelDlg::ShowInformation() {
    std::string answer;
    bool done = SendEngineCommand("showme", "", answer);
    std::string data = TextBetween(answer, "<data>", "</data>");
    if (done) {
        InfoRecord = data;
        SuppressInfo = 1;
        CDialogShow information;
        information.DoModal();
        SuppressInfo = 0;
        return;
    }
    if (data.empty()) return;
    CDialogMsg message;
    message.SetMessage(3, false, L"错误", converter.MultiToWide(data));
    message.DoModal();
}

void COrmVexPanelDlg::QuitFromTray() {
    // 1. and 2. Ask, with the box cleared.
    DontShowTrayAgain = false;
    CDialogMsgQuit question;
    question.SetQuitMessage(L"退出托盘确认", L"以后不再显示托盘");
    // 3. Cancel keeps the panel.
    if (question.DoModal() != IDOK) return;
    // 4. OK: drop the autostart value when asked, then close.
    if (DontShowTrayAgain) CHardware().RemoveAutorun(kAutorunValue);
    Quitting = 1;
    trayIcon.Remove();
    OnOK();
}
