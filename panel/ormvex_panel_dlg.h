// The panel's main window: shown for half a second after start, then hidden; the
// tray icon, its menu and the status thread live here.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>

#include "channel/engine_channel.h"
#include "foundation/controls/tray_icon.h"
#include "foundation/controls/xp_button.h"
#include "foundation/ini_reader.h"
#include "foundation/text.h"
#include "foundation/unique_handle.h"
#include "framework/dialog.h"

class COrmVexPanelDlg : public CDialogEx {
public:
    enum SystemStates { kStateOn = 0, kStateOff = 1, kStateAbnormal = 2 };

    explicit COrmVexPanelDlg(HWND parent = nullptr);
    ~COrmVexPanelDlg() override;

    BOOL DestroyWindow() override;

    // Menu and tray actions, also used by the status thread.
    void ShowInformation();
    void CheckSystemState();
    void OpenManagementSite();
    void QuitFromTray();
    // One engine command; RequestBusy is set while it waits.
    bool SendEngineCommand(const std::string& word, const std::string& parameters, std::string& answer);

    // ChannelKey, ChannelLock and RequestBusy of the engine exchanges.
    CEngineChannel channel;
    std::atomic<int> Quitting{0};
    CIniReader StatusReader;
    std::atomic<int> SystemState{kStateOn};
    CStringUtil converter;
    CTrayIcon trayIcon;
    std::atomic<int> SuppressInfo{0};
    UniqueIcon windowIcon;
    CXPButton testButton;

protected:
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnTimer(UINT_PTR id) override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    HCURSOR OnQueryDragIcon() override;

private:
    static DWORD WINAPI StatusThread(LPVOID window);
    void ShowTrayMenu();
    void RunMenuCommand(UINT id);
    void QuitOnSignal();
    void StartMainWindow();

    UniqueHandleKernel statusThread_;
    UniqueBitmap background_;
};
