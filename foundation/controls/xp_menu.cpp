#include "foundation/controls/xp_menu.h"

#include "framework/gdi.h"

namespace {
const int kIconBoxPadding = 8;     // icon column = icon size + this
const int kIconInset = 3;          // icon drawn this far from the box's corner
const int kTextGap = 6;            // text starts this far right of the icon column
const int kWidthExtra = 26;        // text item width = 2 x icon + text + this
const int kTickWidth = 7;
const int kTitleFontHeight = 16;
const int kTitleLeft = 2, kTitleBottomGap = 4;

UniqueFont MenuFontCopy(LONG weight) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    if (weight) metrics.lfMenuFont.lfWeight = weight;
    return UniqueFont(::CreateFontIndirectW(&metrics.lfMenuFont));
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    UniqueBrush brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &rect, brush.get());
}
}  // namespace

CXPMenuItem::~CXPMenuItem() {
    if (m_icon) ::DestroyIcon(m_icon);
}

CMenuXPText::CMenuXPText(UINT id, const std::wstring& text, HICON icon) {
    m_id = id;
    m_text = text;
    m_icon = icon;
}

CMenuXPSeparator::CMenuXPSeparator() {
    m_id = 0;
    m_separator = true;
}

CXPMenu::CXPMenu()
    : menuFont_(MenuFontCopy(0)),
      selectionColour_(::GetSysColor(COLOR_HIGHLIGHT)),
      textColour_(::GetSysColor(COLOR_MENUTEXT)),
      selectedTextColour_(::GetSysColor(COLOR_HIGHLIGHTTEXT)),
      greyTextColour_(::GetSysColor(COLOR_GRAYTEXT)) {}

CXPMenu::~CXPMenu() {
    if (menu_) DestroyItems(menu_.get());
}

CXPMenuItem* CXPMenu::ItemFromData(ULONG_PTR data) {
    auto* item = reinterpret_cast<CXPMenuItem*>(data);
    return item && item->m_marker == CXPMenuItem::kMarker ? item : nullptr;
}

void CXPMenu::DestroyItems(HMENU menu) {
    int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_DATA | MIIM_SUBMENU;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        if (info.hSubMenu) DestroyItems(info.hSubMenu);
        if (CXPMenuItem* item = ItemFromData(info.dwItemData)) {
            item->m_marker = 0;
            delete item;
        }
    }
}

bool CXPMenu::AppendItem(CXPMenuItem* item) {
    if (!menu_ && !CreatePopupMenu()) {
        delete item;
        return false;
    }
    UINT flags = MF_OWNERDRAW;
    if (columnBreak_) flags |= MF_MENUBREAK;
    if (barBreak_) flags |= MF_MENUBARBREAK;
    columnBreak_ = barBreak_ = false;
    if (item->m_separator) flags |= MF_SEPARATOR;  // keyboard moves pass over it
    if (!::AppendMenuW(menu_.get(), flags, item->m_id, reinterpret_cast<LPCWSTR>(item))) {
        delete item;
        return false;
    }
    return true;
}

void CXPMenu::MeasureItem(LPMEASUREITEMSTRUCT measure) {
    CXPMenuItem* item = ItemFromData(measure->itemData);
    if (!item) return;
    if (item->m_title) {
        measure->itemWidth = static_cast<UINT>(item->m_iconSize);
        measure->itemHeight = 0;
    } else if (item->m_separator) {
        measure->itemWidth = 0;
        measure->itemHeight = static_cast<UINT>(::GetSystemMetrics(SM_CYMENUCHECK) / 2);
    } else {
        UniqueFont bold = MenuFontCopy(FW_BOLD);
        CWindowDC screen(nullptr);
        CSelectObject chosen(screen.get(), bold.get());
        RECT bounds{0, 0, 0, 0};
        ::DrawTextW(screen.get(), item->m_text.c_str(), -1, &bounds, DT_SINGLELINE | DT_CALCRECT | DT_EXPANDTABS);
        int textHeight = bounds.bottom - bounds.top;
        int iconHeight = item->m_iconSize + kIconBoxPadding;
        measure->itemHeight = static_cast<UINT>(iconHeight > textHeight ? iconHeight : textHeight);
        measure->itemWidth = static_cast<UINT>(2 * item->m_iconSize + (bounds.right - bounds.left) + kWidthExtra);
    }
    // The system adds the check-mark width itself; a separator, 0 wide, must not wrap
    // around to an enormous width.
    int width = static_cast<int>(measure->itemWidth) + 1 - ::GetSystemMetrics(SM_CXMENUCHECK);
    measure->itemWidth = static_cast<UINT>(width > 0 ? width : 0);
}

void CXPMenu::DrawItem(LPDRAWITEMSTRUCT draw) {
    CXPMenuItem* item = ItemFromData(draw->itemData);
    if (!item) return;
    HDC dc = draw->hDC;
    RECT rect = draw->rcItem;
    bool selected = (draw->itemState & ODS_SELECTED) != 0;
    bool greyed = (draw->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0 && !item->m_separator;
    bool ticked = (draw->itemState & ODS_CHECKED) != 0;
    bool isDefault = (draw->itemState & ODS_DEFAULT) != 0;
    CSelectObject font(dc, menuFont_.get());
    ::SetBkMode(dc, TRANSPARENT);
    if (item->m_title) {
        DrawTitle(dc, rect, item->m_text);
        return;
    }
    if (item->m_separator) {
        FillSolid(dc, rect, backgroundColour_);
        RECT line = rect;
        line.top += (rect.bottom - rect.top) / 2;
        ::DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        if (style_ == kStyleIconColumn) DrawIconColumn(dc, rect, item->m_iconSize);
        return;
    }
    DrawItemBackground(dc, rect, selected, greyed);
    if (style_ == kStyleIconColumn && !(selected && !greyed)) DrawIconColumn(dc, rect, item->m_iconSize);
    int column = item->m_iconSize + kIconBoxPadding;
    RECT box{rect.left, rect.top, rect.left + column, rect.top + column};
    if (item->m_icon || ticked) DrawIconBox(dc, box, selected, greyed, ticked);
    if (item->m_icon)
        DrawItemIcon(dc, box, item->m_icon, selected);
    else if (ticked)
        DrawCheckMark(dc, box);
    RECT textArea = rect;
    textArea.left += column + kTextGap;
    textArea.right -= kTextGap;
    DrawItemText(dc, textArea, item->m_text, selected, greyed, isDefault);
}

void CXPMenu::DrawItemBackground(HDC dc, const RECT& rect, bool selected, bool greyed) {
    bool useSelection = selected && (style_ != kStyleIconColumn || !greyed);
    FillSolid(dc, rect, useSelection ? selectionColour_ : backgroundColour_);
}

void CXPMenu::DrawIconColumn(HDC dc, const RECT& rect, int iconSize) {
    RECT column{rect.left, rect.top, rect.left + iconSize + kIconBoxPadding, rect.bottom};
    FillSolid(dc, column, iconColumnColour_);
}

void CXPMenu::DrawIconBox(HDC dc, const RECT& box, bool selected, bool greyed, bool ticked) {
    if (style_ == kStyleIconColumn && ticked && !selected && !greyed) FillSolid(dc, box, selectionColour_);
}

void CXPMenu::DrawItemIcon(HDC dc, const RECT& box, HICON icon, bool selected) {
    int shift = (selected && style_ == kStyleIconColumn) ? 1 : 0;
    ::DrawIconEx(dc, box.left + kIconInset - shift, box.top + kIconInset - shift, icon, 16, 16, 0, nullptr, DI_NORMAL);
}

void CXPMenu::DrawCheckMark(HDC dc, const RECT& box) {
    UniquePen pen(::CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    CSelectObject chosen(dc, pen.get());
    int x = box.left + (box.right - box.left - kTickWidth) / 2;
    int y = box.top + (box.bottom - box.top) / 2 - 1;
    for (int stroke = 0; stroke < 3; ++stroke) {  // three parallel strokes make the tick bold
        ::MoveToEx(dc, x, y + stroke, nullptr);
        ::LineTo(dc, x + 2, y + 2 + stroke);
        ::LineTo(dc, x + kTickWidth, y - 3 + stroke);
    }
}

void CXPMenu::DrawTitle(HDC dc, const RECT& rect, const std::wstring& text) {
    RECT clip{};
    ::GetClipBox(dc, &clip);
    int height = clip.bottom - clip.top;
    for (int y = 0; y < height; ++y) {
        auto mix = [&](int shift) {
            int top = (titleTop_ >> shift) & 0xFF, bottom = (titleBottom_ >> shift) & 0xFF;
            return top + (bottom - top) * y / (height > 1 ? height - 1 : 1);
        };
        RECT row{rect.left, clip.top + y, rect.right, clip.top + y + 1};
        FillSolid(dc, row, RGB(mix(0), mix(8), mix(16)));
    }
    LOGFONTW title{};
    title.lfHeight = kTitleFontHeight;
    title.lfWeight = FW_BOLD;
    title.lfEscapement = title.lfOrientation = 900;
    wcscpy(title.lfFaceName, L"Arial");
    UniqueFont font(::CreateFontIndirectW(&title));
    CSelectObject chosen(dc, font.get());
    ::SetTextColor(dc, RGB(255, 255, 255));
    ::TextOutW(dc, rect.left + kTitleLeft, clip.bottom - kTitleBottomGap, text.c_str(), static_cast<int>(text.size()));
}

void CXPMenu::DrawItemText(HDC dc, const RECT& rect, const std::wstring& text, bool selected, bool greyed,
                           bool isDefault) {
    UniqueFont bold;
    if (isDefault) bold = MenuFontCopy(FW_BOLD);
    CSelectObject chosen(dc, bold.get());
    if (greyed) {
        if (!(selected && style_ != kStyleIconColumn)) {
            RECT embossed = rect;
            ::OffsetRect(&embossed, 1, 1);
            DrawTextRuns(dc, embossed, text, selectedTextColour_);
        }
        DrawTextRuns(dc, rect, text, greyTextColour_);
        return;
    }
    DrawTextRuns(dc, rect, text, selected ? selectedTextColour_ : textColour_);
}

void CXPMenu::DrawTextRuns(HDC dc, const RECT& rect, const std::wstring& text, COLORREF colour) {
    ::SetTextColor(dc, colour);
    RECT area = rect;
    const UINT format = DT_SINGLELINE | DT_VCENTER;
    size_t tab = text.find(L'\t');
    if (tab == std::wstring::npos) {
        ::DrawTextW(dc, text.c_str(), -1, &area, format | DT_LEFT);
        return;
    }
    std::wstring before = text.substr(0, tab), after = text.substr(tab + 1);
    ::DrawTextW(dc, before.c_str(), -1, &area, format | DT_LEFT);
    ::DrawTextW(dc, after.c_str(), -1, &area, format | DT_RIGHT);
}
