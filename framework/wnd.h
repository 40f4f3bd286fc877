// A window object bound to an existing window by subclassing: every message reaches
// the virtual WindowProc first, and whatever a class does not handle goes on to the
// window's original procedure.
#pragma once
#include <windows.h>

#include <string>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // Binds this object to the child control `id` of `parent` (or to `window`).
    bool SubclassDlgItem(int id, HWND parent);
    bool SubclassWindow(HWND window);
    void UnsubclassWindow();
    static CWnd* FromHandle(HWND window);

    // Called on the message loop's thread for every message aimed at this window or
    // one of its children before it is dispatched; true swallows it.
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Owner-drawn controls get their parent's WM_DRAWITEM and WM_MEASUREITEM here.
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT measureItem);

    std::wstring GetWindowTextW() const;
    void SetWindowTextW(const std::wstring& text);
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    RECT GetWindowRect() const;
    RECT GetClientRect() const;
    void Invalidate(bool erase = true) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }

protected:
    // Called right before the window is bound, so a class can adjust its styles.
    virtual void PreSubclassWindow();
    // The original procedure for the message being handled.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Lets a parent route WM_DRAWITEM/WM_MEASUREITEM of its children and menus.
    bool ReflectOwnerDraw(UINT message, LPARAM lParam);

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);
};

// The modal loop walks from the target window up to (not including) `top`, giving
// each bound control object the chance to swallow the message.
BOOL WalkPreTranslateTree(HWND top, MSG* msg);
