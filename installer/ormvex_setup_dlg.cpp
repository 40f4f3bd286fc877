#include "installer/ormvex_setup_dlg.h"

#include "channel/engine_channel.h"
#include "channel/engine_endpoint.h"
#include "foundation/files.h"
#include "foundation/log.h"
#include "foundation/product.h"
#include "foundation/text.h"
#include "framework/gdi.h"
#include "installer/browse_folder.h"
#include "installer/dialog_msg.h"
#include "installer/install_checks.h"
#include "installer/install_mode.h"
#include "installer/setup_values.h"
#include "resources/installer/resource.h"

namespace {
constexpr int kWindowWidth = 600, kWindowHeight = 410;
constexpr int kInstallIconWidth = 125, kInstallIconHeight = 44;
constexpr int kChooseIconWidth = 79, kChooseIconHeight = 34;
constexpr int kPathInset = 2;
constexpr UINT_PTR kSuperviseTimer = 1, kHideTimer = 2;
constexpr UINT kSuperviseMs = 500, kHideMs = 50;
constexpr int kRunning = 1, kFailed = 2, kSucceeded = 3;
constexpr COLORREF kGreyText = RGB(100, 100, 100);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr char kUpdateNotice[] = "<cmd>setinfo</cmd><update>1</update>";
const int kInputControls[] = {IDC_EDIT_PATH, IDC_BUTTON_CHOOSE, IDOK, IDCANCEL};
}  // namespace

COrmVexSetupDlg::COrmVexSetupDlg() : CDialogEx(IDD_ORMVEXSETUP_DIALOG), whiteBrush_(::CreateSolidBrush(kWhite)) {
    m_hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
}
COrmVexSetupDlg::~COrmVexSetupDlg() = default;

void COrmVexSetupDlg::DoDataExchange(CDataExchange* exchange) {
    DDX_Text(exchange, IDC_EDIT_PATH, m_strPath);
    DDX_Check(exchange, IDC_CHECK_DESKTOP, m_bDesktopLink);
    DDX_Check(exchange, IDC_CHECK_AGREE, m_bAgree);
}

BOOL COrmVexSetupDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();
    layout_.Record(m_hWnd);
    SetWindowTextW(SetupWindowTitle());
    ::SetWindowTextW(GetDlgItem(IDC_LINK_PRODUCT), L"");
    ::SetWindowTextW(GetDlgItem(IDC_LINK_AGREEMENT), L"");
    ::SetWindowTextW(GetDlgItem(IDC_VERSION), GbkToWide(kProductVersion).c_str());
    background_ = LoadBitmapResource(IDB_SETUP_BACKGROUND);
    backgroundBrush_.reset(::CreatePatternBrush(background_.get()));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    RECT r = GetWindowRect();
    ::MoveWindow(m_hWnd, r.left, r.top, kWindowWidth, kWindowHeight, TRUE);
    DressControls();
    m_bDesktopLink = 1;
    desktopTick_ = LoadBitmapResource(IDB_DESKTOP_TICKED);
    agreeTick_ = LoadBitmapResource(IDB_AGREE_EMPTY);
    ::SendMessageW(GetDlgItem(IDC_TICK_DESKTOP), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(desktopTick_.get()));
    ::SendMessageW(GetDlgItem(IDC_TICK_AGREE), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(agreeTick_.get()));
    SelectMode();
    return TRUE;
}

void COrmVexSetupDlg::DressControls() {
    auto font = [this](int id, const UniqueFont& f) {
        ::SendMessageW(GetDlgItem(id), WM_SETFONT, reinterpret_cast<WPARAM>(f.get()), TRUE);
    };
    font(IDC_TITLE, TitleFont);
    font(IDC_VERSION, VersionFont);
    for (int id : {IDC_PATH_LABEL, IDC_LINK_PRODUCT, IDC_EDIT_PATH, IDC_CHECK_DESKTOP, IDC_CHECK_AGREE,
                   IDC_LINK_AGREEMENT, IDC_STATUS})
        font(id, BodyFont);
    RECT field{};
    ::GetClientRect(GetDlgItem(IDC_EDIT_PATH), &field);
    ::OffsetRect(&field, kPathInset, kPathInset);
    ::SendMessageW(GetDlgItem(IDC_EDIT_PATH), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&field));
    ::SendMessageW(GetDlgItem(IDC_EDIT_PATH), EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(kPathInset, 0));

    chooseButton_.SubclassDlgItem(IDC_BUTTON_CHOOSE, m_hWnd);
    chooseButton_.ShowIconOnly(LoadIconResource(IDI_BUTTON_CHOOSE, kChooseIconWidth, kChooseIconHeight).release(),
                               L"更改目录");
    installButton_.SubclassDlgItem(IDOK, m_hWnd);
    installButton_.ShowIconOnly(
        LoadIconResource(IDI_BUTTON_INSTALL, kInstallIconWidth, kInstallIconHeight).release(), L"开始安装");
    closeButton_.SubclassDlgItem(IDC_CLOSE, m_hWnd);
    closeButton_.LoadStrip(IDB_CLOSE_STRIP);
    closeButton_.SetTooltipText(L"关闭窗口");
    minimizeButton_.SubclassDlgItem(IDC_MINIMIZE, m_hWnd);
    minimizeButton_.LoadStrip(IDB_MINIMIZE_STRIP);
    minimizeButton_.SetTooltipText(L"最小化");
}

void COrmVexSetupDlg::SelectMode() {
    // 1. The recorded folder.
    m_strInstallDir = RecordedInstallFolder();
    m_strPath = GbkToWide(m_strInstallDir);
    // 2. An installation that is still there fixes the path.
    const bool recordedThere = !m_strInstallDir.empty() && PathExistsReal(m_strInstallDir, true);
    if (recordedThere) {
        ::SendMessageW(GetDlgItem(IDC_EDIT_PATH), EM_SETREADONLY, TRUE, 0);
        m_bExisting = 1;
    }
    UpdateData(false);
    if (recordedThere) {
        // 3. The command word.
        if (IsUpdateCommandLine(::GetCommandLineA())) {
            UpdateData(false);
            m_bUnattended = 1;
            m_bExisting = 1;
        }
    } else {
        // 4. A new installation.
        m_strInstallDir = DefaultInstallPath();
        m_strPath = GbkToWide(m_strInstallDir);
        UpdateData(false);
    }
    // 5. Unattended: straight on, as if the button had been pressed.
    if (m_bUnattended) {
        WriteUpdateLog(ToGbk(L"启动在线升级"), m_strInstallDir + "log\\update.log");
        StartInstall();
    }
}

INT_PTR COrmVexSetupDlg::Tell(int kind, bool showCancel, const std::string& text) {
    if (m_bUnattended) return IDOK;
    return ShowSetupMessage(m_hWnd, kind, showCancel, ProductName(), text);
}

void COrmVexSetupDlg::StartInstall() {
    // 1. Inputs locked while the checks run.
    EnableInputs(false);
    UpdateData(true);
    // 2. The agreement.
    if (!m_bAgree && !m_bUnattended) {
        Tell(CDialogMsg::kWarning, false, ToGbk(L"请先勾选“我已阅读并同意使用许可协议”"));
        return Abort();
    }
    // 3. The path itself; unattended runs drop it silently.
    std::string path = CStringUtil().WideToMulti(m_strPath);
    const std::string refusal = PathRefusal(path);
    if (!refusal.empty()) {
        Tell(CDialogMsg::kWarning, false, refusal);
        return Abort();
    }
    // 4. A path of the user's gets the product folder.
    if (!m_bExisting) {
        const std::string withFolder = WithProductFolder(path);
        if (withFolder != path) {
            path = withFolder;
            m_strInstallDir = path;
            m_strPath = GbkToWide(path);
            UpdateData(false);
        }
    }
    // 5. An earlier installation and its version.
    bool upgrade = false, confirmed = false;
    const EarlierInstallation earlier = ExamineEarlierInstallation();
    if (earlier.recordFound) {
        if (!earlier.acceptable) {
            const std::string text = NewerVersionRefusal(earlier.version);
            if (m_bUnattended)
                WriteUpdateLog(text, m_strInstallDir + "log\\update.log");
            else
                Tell(CDialogMsg::kWarning, false, text);
            return Abort();
        }
        upgrade = earlier.upgrade;
        if (upgrade) {
            if (Tell(CDialogMsg::kQuestion, true, UpgradeQuestion(earlier.version)) != IDOK) return Abort();
            confirmed = true;
        }
    }
    // 6. The single-host product lives elsewhere.
    if (FileExistsReal(FileInFolder(path, "ormips.exe"))) {
        Tell(CDialogMsg::kError, false, SingleHostRefusal());
        return Abort();
    }
    // 7. The confirmation.
    if (!confirmed) {
        const bool engineThere = EngineProgramThere(path);
        if (engineThere) upgrade = true;
        if (Tell(CDialogMsg::kQuestion, true, InstallQuestion(path, engineThere)) != IDOK) return Abort();
    }
    // 8. The status line.
    SetStatus(upgrade ? L"正在升级..." : L"正在安装...");
    // 9. A running engine hears that an upgrade follows; its answer does not matter.
    // The answer file lies below the folder, so the folder ends with a backslash even
    // when the user typed none.
    if (IsEngineReachable()) {
        std::string answer;
        const std::string folder = path.empty() || path.back() == '\\' ? path : path + "\\";
        CEngineChannel().ExchangeWithEngine(kUpdateNotice, folder, answer);
    }
    // 10. The worker.
    m_bExisting = upgrade ? 1 : 0;
    m_run = std::make_shared<CInstallRun>();
    m_run->inputs.pathField = m_strPath;
    m_run->inputs.upgrade = upgrade;
    m_run->inputs.desktopLink = m_bDesktopLink != 0;
    m_run->inputs.unattended = m_bUnattended != 0;
    m_run->inputs.logFolder = m_strInstallDir;
    m_run->setupDialog = m_hWnd;
    m_run->m_nState = kRunning;
    if (!StartInstallThread(m_run)) m_run->m_nState = kFailed;
    ::SetTimer(m_hWnd, kSuperviseTimer, kSuperviseMs, nullptr);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}

void COrmVexSetupDlg::Abort() {
    EnableInputs(true);
    SetStatus(L"");
}

void COrmVexSetupDlg::EnableInputs(bool enable) {
    for (int id : kInputControls) {
        ::EnableWindow(GetDlgItem(id), enable);
        ::InvalidateRect(GetDlgItem(id), nullptr, TRUE);
    }
}

void COrmVexSetupDlg::SetStatus(const std::wstring& text) {
    HWND status = GetDlgItem(IDC_STATUS);
    ::SetWindowTextW(status, text.c_str());
    // The label is transparent: the picture under it is painted again first.
    RECT r{};
    ::GetWindowRect(status, &r);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    ::InvalidateRect(m_hWnd, &r, TRUE);
}

void COrmVexSetupDlg::OnTimer(UINT_PTR id) {
    if (id == kSuperviseTimer) return SuperviseWorker();
    if (id == kHideTimer) {
        ::KillTimer(m_hWnd, kHideTimer);
        ::ShowWindow(m_hWnd, SW_HIDE);
    }
}

void COrmVexSetupDlg::SuperviseWorker() {
    const int state = State();
    if (state == kSucceeded) {
        SetStatus(L"执行成功！");
        UpdateData(true);
        ::KillTimer(m_hWnd, kSuperviseTimer);
        WriteInstallRecord(CStringUtil().WideToMulti(m_strPath));
        EndDialog(IDOK);
    } else if (state == kFailed) {
        SetStatus(L"执行失败！");
        EnableInputs(true);
        ::KillTimer(m_hWnd, kSuperviseTimer);
        if (m_bUnattended) EndDialog(IDCANCEL);
    }
}

void COrmVexSetupDlg::CloseOrAsk() {
    if (!Busy()) return EndDialog(IDCANCEL);
    const INT_PTR answer = ShowSetupMessage(m_hWnd, CDialogMsg::kQuestion, true, "Orm",
                                            ToGbk(L"正在执行安装任务，中断安装可能导致问题，确定中断吗？"));
    if (answer == IDOK) EndDialog(IDCANCEL);
}

void COrmVexSetupDlg::ChooseFolder() {
    UpdateData(true);
    const std::string current = CStringUtil().WideToMulti(m_strPath);
    if (m_bExisting && PathExistsReal(current, true)) {
        ShowSetupMessage(m_hWnd, CDialogMsg::kError, false, "Orm", ToGbk(L"升级安装不能修改安装路径！"));
        return;
    }
    CBrowseFolder chooser;
    if (chooser.Browse(current, m_hWnd) == 1 && PathExistsReal(chooser.Path(), true)) {
        m_strPath = GbkToWide(chooser.Path());
        UpdateData(false);
    }
}

void COrmVexSetupDlg::FlipTick(int pictureId) {
    UpdateData(true);
    HWND picture = GetDlgItem(pictureId);
    if (pictureId == IDC_TICK_DESKTOP) {
        m_bDesktopLink = !m_bDesktopLink;
        desktopTick_ = LoadBitmapResource(m_bDesktopLink ? IDB_DESKTOP_TICKED : IDB_DESKTOP_EMPTY);
        ::SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(desktopTick_.get()));
    } else {
        m_bAgree = !m_bAgree;
        agreeTick_ = LoadBitmapResource(m_bAgree ? IDB_AGREE_TICKED : IDB_AGREE_EMPTY);
        ::SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(agreeTick_.get()));
    }
    UpdateData(false);
}

LRESULT COrmVexSetupDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kHideSetupMessage) {
        ::SetTimer(m_hWnd, kHideTimer, kHideMs, nullptr);
        return 0;
    }
    return CDialogEx::WindowProc(message, wParam, lParam);
}

bool COrmVexSetupDlg::OnCommand(UINT id, UINT, HWND) {
    switch (id) {
        case IDOK: StartInstall(); return true;
        case IDCANCEL:
        case IDC_CLOSE: CloseOrAsk(); return true;
        case IDC_BUTTON_CHOOSE: ChooseFolder(); return true;
        case IDC_MINIMIZE: ::ShowWindow(m_hWnd, SW_MINIMIZE); return true;
        case IDC_TICK_DESKTOP:
        case IDC_TICK_AGREE: FlipTick(static_cast<int>(id)); return true;
        case IDC_LINK_PRODUCT: OpenMakerPage(kProductPagePath); return true;
        case IDC_LINK_AGREEMENT: OpenMakerPage(kAgreementPagePath); return true;
        default: return false;
    }
}

void COrmVexSetupDlg::OnSize(UINT, int, int) { layout_.Apply(m_hWnd); }

void COrmVexSetupDlg::OnPaint() {
    if (!::IsIconic(m_hWnd)) return CDialogEx::OnPaint();
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
    RECT client = GetClientRect();
    const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc.get(), x, y, m_hIcon);
}

HCURSOR COrmVexSetupDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

BOOL COrmVexSetupDlg::OnEraseBkgnd(HDC dc) {
    RECT client = GetClientRect();
    ::FillRect(dc, &client, backgroundBrush_.get());
    return TRUE;
}

HBRUSH COrmVexSetupDlg::OnCtlColor(HDC dc, HWND control, UINT) {
    const int id = ::GetDlgCtrlID(control);
    if (id == IDC_EDIT_PATH) {
        const bool readOnly = (::GetWindowLongW(control, GWL_STYLE) & ES_READONLY) != 0;
        ::SetTextColor(dc, readOnly ? kGreyText : kBlack);
        ::SetBkColor(dc, kWhite);
        return whiteBrush_.get();
    }
    // Everything else shows the background picture through, brush aligned to the control.
    AlignBrushToChild(dc, m_hWnd, control);
    ::SetBkMode(dc, TRANSPARENT);
    switch (id) {
        case IDC_STATUS: ::SetTextColor(dc, kGreyText); break;
        case IDC_CHECK_DESKTOP:
        case IDC_CHECK_AGREE:
        case IDC_PATH_LABEL: ::SetTextColor(dc, kBlack); break;
        default: ::SetTextColor(dc, kWhite);
    }
    return backgroundBrush_.get();
}

void COrmVexSetupDlg::OnLButtonDown(UINT, POINT) { StartCaptionDrag(); }

BOOL COrmVexSetupDlg::OnSetCursor(HWND window, UINT hitTest, UINT message) {
    if (window == GetDlgItem(IDC_LINK_AGREEMENT) || window == GetDlgItem(IDC_LINK_PRODUCT)) {
        ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
        return TRUE;
    }
    return CDialogEx::OnSetCursor(window, hitTest, message);
}
