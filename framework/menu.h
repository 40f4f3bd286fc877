// A popup menu owned by this object. While TrackPopupMenu runs, the owner window's
// WM_MEASUREITEM and WM_DRAWITEM for menu entries are routed to it.
#pragma once
#include <windows.h>

#include "foundation/unique_handle.h"

class CMenu {
public:
    CMenu() = default;
    virtual ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    bool CreatePopupMenu();
    HMENU GetSafeHmenu() const { return menu_.get(); }
    // TPM_RETURNCMD gives the chosen id, 0 when the menu was closed without a choice.
    UINT TrackPopupMenu(UINT flags, int x, int y, HWND owner);

    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT measureItem);

    // The menu being tracked on this thread, if any.
    static CMenu* Tracking();

protected:
    UniqueMenu menu_;
};
