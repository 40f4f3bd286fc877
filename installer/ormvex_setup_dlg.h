// The installer's window: the path field, the folder choice, the two tick boxes, the
// install button and its checks, and the supervision of the worker that installs.
#pragma once
#include <memory>
#include <string>

#include "foundation/controls/button_st.h"
#include "foundation/controls/hover_button.h"
#include "foundation/unique_handle.h"
#include "framework/dialog.h"
#include "installer/install_thread.h"
#include "installer/proportional_layout.h"

class COrmVexSetupDlg : public CDialogEx {
public:
    COrmVexSetupDlg();
    ~COrmVexSetupDlg() override;

    std::wstring m_strPath;
    std::string m_strInstallDir;
    int m_bExisting = 0;
    int m_bUnattended = 0;
    int m_bAgree = 0;
    int m_bDesktopLink = 1;

protected:
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnTimer(UINT_PTR id) override;
    void OnSize(UINT type, int width, int height) override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(HDC dc) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT message) override;
    HCURSOR OnQueryDragIcon() override;

private:
    void DressControls();
    void SelectMode();
    void StartInstall();
    void Abort();
    void CloseOrAsk();
    void ChooseFolder();
    void FlipTick(int pictureId);
    void SuperviseWorker();
    void SetStatus(const std::wstring& text);
    void EnableInputs(bool enable);
    // Shows a box unless the run is unattended; the box's answer, IDOK when unattended.
    INT_PTR Tell(int kind, bool showCancel, const std::string& text);

    int State() const { return m_run ? m_run->m_nState.load() : 0; }
    int Busy() const { return m_run ? m_run->m_bBusy.load() : 0; }

    std::shared_ptr<CInstallRun> m_run;
    HICON m_hIcon = nullptr;
    UniqueBitmap background_;
    UniqueBrush backgroundBrush_;
    UniqueBrush whiteBrush_;
    UniqueBitmap desktopTick_;
    UniqueBitmap agreeTick_;
    CButtonST installButton_;
    CButtonST chooseButton_;
    CHoverButton closeButton_;
    CHoverButton minimizeButton_;
    CProportionalLayout layout_;
};
