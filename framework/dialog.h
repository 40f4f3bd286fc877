// A dialog made from a dialog template resource. DoModal runs its own message loop,
// so PreTranslateMessage sees every message of the thread before it is dispatched;
// the window's messages reach WindowProc and from there the virtual handlers.
#pragma once
#include <windows.h>

#include "framework/data_exchange.h"
#include "framework/wnd.h"

class CDialogEx : public CWnd {
public:
    explicit CDialogEx(UINT templateId, HWND parent = nullptr);
    ~CDialogEx() override;

    INT_PTR DoModal();
    void EndDialog(INT_PTR result);
    bool UpdateData(bool saveAndValidate = true);
    virtual BOOL DestroyWindow();

    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    virtual void DoDataExchange(CDataExchange* exchange);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // WM_COMMAND; true when handled. The base ends the dialog for IDOK and IDCANCEL.
    virtual bool OnCommand(UINT id, UINT code, HWND control);
    virtual void OnTimer(UINT_PTR id);
    virtual void OnSize(UINT type, int width, int height);
    virtual void OnPaint();
    // Return TRUE when the background was painted, or Default behaviour otherwise.
    virtual BOOL OnEraseBkgnd(HDC dc);
    // A brush for the control's background, or null for the default one.
    virtual HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
    virtual void OnLButtonDown(UINT flags, POINT point);
    virtual void OnMouseMove(UINT flags, POINT point);
    virtual BOOL OnSetCursor(HWND window, UINT hitTest, UINT message);
    virtual HCURSOR OnQueryDragIcon();

    // Moves the window as if the press at the cursor had been on a caption.
    void StartCaptionDrag();

    UINT m_templateId;
    HWND m_hParent;
    UINT m_currentMessage = 0;
    WPARAM m_currentWParam = 0;
    LPARAM m_currentLParam = 0;
    LRESULT Default();

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool ended_ = false;
    INT_PTR result_ = IDCANCEL;
};
