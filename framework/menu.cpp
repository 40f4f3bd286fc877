#include "framework/menu.h"

namespace {
thread_local CMenu* trackingMenu = nullptr;
}

CMenu::~CMenu() = default;

bool CMenu::CreatePopupMenu() {
    menu_.reset(::CreatePopupMenu());
    return static_cast<bool>(menu_);
}

UINT CMenu::TrackPopupMenu(UINT flags, int x, int y, HWND owner) {
    CMenu* outer = trackingMenu;
    trackingMenu = this;
    BOOL chosen = ::TrackPopupMenu(menu_.get(), flags, x, y, 0, owner, nullptr);
    trackingMenu = outer;
    return static_cast<UINT>(chosen);
}

void CMenu::DrawItem(LPDRAWITEMSTRUCT) {}
void CMenu::MeasureItem(LPMEASUREITEMSTRUCT) {}

CMenu* CMenu::Tracking() { return trackingMenu; }
