// A tooltip control owned by a window or a dialog.
#pragma once
#include <windows.h>

#include <string>

class CToolTipCtrl {
public:
    CToolTipCtrl() = default;
    ~CToolTipCtrl();
    CToolTipCtrl(const CToolTipCtrl&) = delete;
    CToolTipCtrl& operator=(const CToolTipCtrl&) = delete;

    bool Create(HWND owner);
    bool IsCreated() const { return window_ != nullptr; }
    HWND GetSafeHwnd() const { return window_; }
    int GetToolCount() const;
    // A tool covering `rect` of `tool` (its whole client area when rect is null).
    void AddTool(HWND tool, const std::wstring& text, const RECT* rect = nullptr);
    // A tool for a child control, found by its window handle.
    void AddWindowTool(HWND tool, const std::wstring& text);
    void UpdateTipText(HWND tool, const std::wstring& text);
    // A button's tip: the control is created on first use and one tool covers the
    // button's client area; the text is set and the tip activated.
    void SetButtonTip(HWND button, const std::wstring& text);
    void Activate(bool active);
    void RelayEvent(const MSG* msg);
    void SetMaxTipWidth(int width);
    void SetDelayTime(DWORD which, int milliseconds);
    void SetTipTextColor(COLORREF colour);
    void SetTipBkColor(COLORREF colour);

private:
    HWND window_ = nullptr;
    HWND owner_ = nullptr;
};
