// The owner-drawn tray menu and the item objects attached to its entries.
#pragma once
#include <windows.h>

#include <string>

#include "foundation/unique_handle.h"
#include "framework/menu.h"

class CXPMenuItem {
public:
    static constexpr DWORD kMarker = 0x56501ABB;  // identifies a valid item behind an entry's data
    CXPMenuItem() = default;
    virtual ~CXPMenuItem();
    CXPMenuItem(const CXPMenuItem&) = delete;
    CXPMenuItem& operator=(const CXPMenuItem&) = delete;

    DWORD m_marker = kMarker;
    UINT m_id = 0;
    bool m_separator = false;
    bool m_title = false;
    bool m_noText = false;
    std::wstring m_text;
    HICON m_icon = nullptr;  // owned; destroyed with the item
    int m_iconSize = 16;
};

class CMenuXPText : public CXPMenuItem {
public:
    CMenuXPText(UINT id, const std::wstring& text, HICON icon);
};

class CMenuXPSeparator : public CXPMenuItem {
public:
    CMenuXPSeparator();
};

class CXPMenu : public CMenu {
public:
    static constexpr int kStyleIconColumn = 2;

    CXPMenu();
    ~CXPMenu() override;

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    void MeasureItem(LPMEASUREITEMSTRUCT measureItem) override;

    // Appends an owner-drawn entry; the menu owns the item from now on.
    bool AppendItem(CXPMenuItem* item);
    void SetSelectedBarColor(COLORREF colour) { selectionColour_ = colour; }
    void BreakColumnBeforeNext() { columnBreak_ = true; }
    void BreakBarBeforeNext() { barBreak_ = true; }

protected:
    virtual void DrawItemBackground(HDC dc, const RECT& rect, bool selected, bool greyed);
    virtual void DrawIconBox(HDC dc, const RECT& box, bool selected, bool greyed, bool ticked);
    virtual void DrawItemIcon(HDC dc, const RECT& box, HICON icon, bool selected);
    virtual void DrawTitle(HDC dc, const RECT& rect, const std::wstring& text);
    virtual void DrawItemText(HDC dc, const RECT& rect, const std::wstring& text, bool selected, bool greyed,
                              bool isDefault);
    virtual void DrawCheckMark(HDC dc, const RECT& box);
    virtual void DrawTextRuns(HDC dc, const RECT& rect, const std::wstring& text, COLORREF colour);
    virtual void DrawIconColumn(HDC dc, const RECT& rect, int iconSize);

private:
    static CXPMenuItem* ItemFromData(ULONG_PTR data);
    void DestroyItems(HMENU menu);

    UniqueFont menuFont_;
    COLORREF backgroundColour_ = RGB(255, 255, 255);
    COLORREF selectionColour_;
    COLORREF textColour_;
    COLORREF selectedTextColour_;
    COLORREF greyTextColour_;
    COLORREF titleTop_ = RGB(82, 196, 26);
    COLORREF titleBottom_ = RGB(82, 196, 26);
    COLORREF iconColumnColour_ = RGB(255, 255, 255);
    bool columnBreak_ = false;
    bool barBreak_ = false;
    UniqueBitmap backgroundBitmap_;
    int style_ = kStyleIconColumn;
};
