// GUI thread only. Lock order: the item lock is taken below the paint manager's list locks
// (painting) and never held while pages are shown or the parent is notified.
#include "controls/basic/TabBar.h"

#include "framework/MRender.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
constexpr DWORD kSelectionPurple = 0xFFBD30FF;
constexpr DWORD kDimGrey = 0xFF878787;
constexpr DWORD kBoxBack = 0xFF282828;
constexpr DWORD kBoxHighlight = 0xFF191919;
constexpr DWORD kBoxOutline = 0xFF888888;
constexpr DWORD kBoxText = 0xFFFFFFFF;
constexpr DWORD kBoxDimText = 0xFF515151;
constexpr DWORD kTab6Highlight = 0xFF383838;
// CTabCtrlEx: a highlighted tab widens by this much per character of its caption, and its
// caption is this much larger.
constexpr int kExWidthPerCharacter = 5;
constexpr int kExBoldGrowth = 6;
// CTabCtrl5 always divides its width into this many boxes.
constexpr int kBoxSlots = 4;
// A cached font per face, size and style; a few are enough for every look.
constexpr size_t kMaxFonts = 4;

Gdiplus::StringAlignment alignmentOf(UINT horizontal)
{
    switch (horizontal) {
    case 1: return Gdiplus::StringAlignmentCenter;
    case 2: return Gdiplus::StringAlignmentFar;
    default: return Gdiplus::StringAlignmentNear;
    }
}
} // namespace

// ---- the shared model

TabBar::TabBar(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : ButtonBase(parent, id, rect, L"", visible, enabled)
{
}

TabBar::TabBar(const TabBar& other) = default;
TabBar& TabBar::operator=(const TabBar& other) = default;
TabBar::~TabBar() = default;

int TabBar::AppendItem(const CString& text, int id, int width, MControl* page)
{
    ScopedLock lock(m_itemsLock);
    Item& item = m_items.AppendNew();
    item.text = text;
    item.id = id;
    item.width = width;
    item.page = page;
    return m_items.Count() - 1;
}

int TabBar::GetItemID(int index)
{
    ScopedLock lock(m_itemsLock);
    const Item* item = m_items.At(index);
    return item ? item->id : 0;
}

void TabBar::SetItemText(int index, CString text)
{
    ScopedLock lock(m_itemsLock);
    if (Item* item = m_items.At(index))
        item->text = text;
}

void TabBar::ClearList()
{
    {
        ScopedLock lock(m_itemsLock);
        m_items.Clear();
    }
    m_hover = -1;
    m_selected = -1;
    UpdateControl(1, 0);
}

void TabBar::SetSelectItem(int index)
{
    if (index == m_selected)
        return;
    m_selected = index;
    // The selection is compared, never used as an index: it may name no item.
    std::vector<std::pair<MControl*, int>> pages;
    {
        ScopedLock lock(m_itemsLock);
        for (int i = 0; i < m_items.Count(); ++i)
            if (MControl* page = m_items[i].page)
                pages.emplace_back(page, i == index ? 1 : 0);
    }
    for (const auto& [page, shown] : pages)
        if (!shown)
            page->SetVisible(0);
    for (const auto& [page, shown] : pages)
        if (shown)
            page->SetVisible(1);
    UpdateControl(1, 0);
}

// ---- input

void TabBar::pointCursor(bool hand) const
{
    static const HCURSOR handCursor = ::LoadCursorW(nullptr, IDC_HAND);
    static const HCURSOR arrowCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    ::SetCursor(hand ? handCursor : arrowCursor);
}

int TabBar::itemAt(CPoint pt)
{
    ScopedLock lock(m_itemsLock);
    for (int i = 0; i < m_items.Count(); ++i) {
        CRect rect = m_items[i].rect;
        rect.OffsetRect(m_rect.left, m_rect.top);
        if (rect.PtInRect(pt))
            return i;
    }
    return -1;
}

bool TabBar::hoveredItemHolds(CPoint pt)
{
    ScopedLock lock(m_itemsLock);
    const Item* item = m_items.At(m_hover);
    if (!item)
        return false;
    CRect rect = item->rect;
    rect.OffsetRect(m_rect.left, m_rect.top);
    return rect.PtInRect(pt) != FALSE;
}

int TabBar::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    const int before = m_hover;
    if (!Contains(pt)) {
        m_hover = -1;
        // Every control hears every move: only the one the pointer just left may set the
        // arrow, or it would replace the hand over another control.
        if (m_pointerInside)
            pointCursor(false);
        m_pointerInside = false;
    } else {
        m_pointerInside = true;
        if (hoveredItemHolds(pt)) {
            pointCursor(true);
            return 1;
        }
        m_hover = -1;
        pointCursor(false);
        m_hover = itemAt(pt);
    }
    if (m_hover != before)
        UpdateControl(1, 0);
    return 1;
}

int TabBar::OnControlLButtonDown(UINT, CPoint)
{
    return m_enabled ? 1 : 0;
}

int TabBar::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    const int clicked = m_hover;
    if (Contains(pt) && clicked >= 0) {
        SetSelectItem(clicked);
        const auto [wParam, lParam] = ClickValues(clicked);
        SendMessageW(2, wParam, lParam);
    }
    return 1;
}

// ---- the look

const Gdiplus::Font* TabBar::TextFont(float size, bool bold)
{
    const int style = bold ? Gdiplus::FontStyleBold : m_fontStyle;
    auto& fonts = *m_fonts;
    for (const MadeFont& made : fonts)
        if (made.size == size && made.style == style && made.face == m_textFont)
            return made.font.get();
    // Without a paint manager there is no font yet: nothing is kept until there is one.
    std::unique_ptr<Gdiplus::Font> font = MakeFont(size, style);
    if (!font)
        return nullptr;
    if (fonts.size() >= kMaxFonts)
        fonts.clear();
    fonts.push_back({ m_textFont, size, style, std::move(font) });
    return fonts.back().font.get();
}

void TabBar::DrawItemText(Canvas& canvas, const CString& text, const CRect& layout, Gdiplus::Color colour)
{
    const float size = static_cast<float>(Scaled(static_cast<float>(m_fontSize), canvas.scale));
    DrawText(canvas.graphics, text, TextFont(size, false), layout, colour, m_textRenderingHint, canvas.format);
}

void TabBar::DrawControl(HDC& dc, CRect)
{
    if (!*m_format) {
        *m_format = std::make_unique<Gdiplus::StringFormat>();
        SetCaptionFormat(**m_format, Gdiplus::StringAlignmentNear, Gdiplus::StringAlignmentCenter);
    }
    DrawStrip(dc, 1, 0, [&](Gdiplus::Graphics& graphics) {
        graphics.SetTextRenderingHint(m_textRenderingHint);
        Canvas canvas { graphics, **m_format, m_rect.Width(), m_rect.Height(), Manager::GetScaleValue() };
        ScopedLock lock(m_itemsLock);
        DrawItems(canvas, m_items);
    });
}

// ---- CTabCtrl2: rows

CTabCtrl2::CTabCtrl2(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : TabBar(parent, id, rect, visible, enabled)
{
}

const wchar_t* CTabCtrl2::GetClassNameW() const { return L"CTabCtrl2"; }

int CTabCtrl2::AddItem(CString text, int id, MControl* page)
{
    return AppendItem(text, id, 0, page);
}

void CTabCtrl2::DrawItems(Canvas& canvas, RecordList<Item>& items)
{
    canvas.format.SetAlignment(alignmentOf(m_hAlign));
    const int height = Scaled(static_cast<float>(m_rowHeight), canvas.scale);
    int y = 0;
    for (int i = 0; i < items.Count(); ++i) {
        Item& item = items[i];
        item.rect = CRect(0, y, canvas.width, y + height);
        Gdiplus::Color colour = m_textColor;
        if (IsHighlighted(i)) {
            MRender::DrawImageStripFrame(canvas.graphics, m_image, item.rect, 0, m_imageCount, 8);
            colour = Gdiplus::Color(kSelectionPurple);
        }
        DrawItemText(canvas, item.text, item.rect, colour);
        y += height;
    }
}

std::pair<UINT, LONG> CTabCtrl2::ClickValues(int) const
{
    return { 0, GetSelectItem() };
}

// ---- CTabCtrlEx: text tabs, the highlighted one wider

CTabCtrlEx::CTabCtrlEx(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : TabBar(parent, id, rect, visible, enabled)
{
}

const wchar_t* CTabCtrlEx::GetClassNameW() const { return L"CTabCtrlEx"; }

int CTabCtrlEx::AddItem(CString text, int id, int width, MControl* page)
{
    return AppendItem(text, id, width, page);
}

void CTabCtrlEx::DrawItems(Canvas& canvas, RecordList<Item>& items)
{
    canvas.graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    canvas.format.SetAlignment(Gdiplus::StringAlignmentNear);
    const int height = canvas.height;
    const Gdiplus::SolidBrush dot { Gdiplus::Color(kDimGrey) };
    int x = 0;
    for (int i = 0; i < items.Count(); ++i) {
        Item& item = items[i];
        // Hit testing keeps the item's own width, also while it is drawn wider.
        item.rect = CRect(x, 0, x + item.width, height);
        const int characters = item.text.GetLength();
        if (IsHighlighted(i)) {
            const int imageWidth = Scaled(static_cast<float>(GetFrameWidth()), canvas.scale);
            const int imageHeight = Scaled(static_cast<float>(m_imageHeight), canvas.scale);
            const int imageTop = (height - imageHeight) / 2;
            StretchFrame(canvas.graphics, m_image, CRect(x, imageTop, x + imageWidth, imageTop + imageHeight), 0,
                         m_imageCount);
            const float boldSize = static_cast<float>(Scaled(static_cast<float>(m_fontSize + kExBoldGrowth), canvas.scale));
            const int textWidth = (characters - 5) * kExWidthPerCharacter + item.width;
            DrawText(canvas.graphics, item.text, TextFont(boldSize, true), CRect(x + 25, 0, x + 25 + textWidth, height),
                     m_textColor, m_textRenderingHint, canvas.format);
            x += Scaled(static_cast<float>(characters * kExWidthPerCharacter + item.width), canvas.scale);
        } else {
            canvas.graphics.FillEllipse(&dot, x + 5, (height - 8) / 2 - 2, 8, 8);
            DrawItemText(canvas, item.text, CRect(x + 20, 0, x + item.width, height), Gdiplus::Color(kDimGrey));
            x += Scaled(static_cast<float>(item.width), canvas.scale);
        }
    }
}

std::pair<UINT, LONG> CTabCtrlEx::ClickValues(int index) const
{
    return { static_cast<UINT>(index), index };
}

// ---- CTabCtrl5: four boxes

CTabCtrl5::CTabCtrl5(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : TabBar(parent, id, rect, visible, enabled)
{
}

const wchar_t* CTabCtrl5::GetClassNameW() const { return L"CTabCtrl5"; }

int CTabCtrl5::AddItem(CString text, int id)
{
    return AppendItem(text, id, 0, nullptr);
}

void CTabCtrl5::DrawItems(Canvas& canvas, RecordList<Item>& items)
{
    canvas.graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    canvas.format.SetAlignment(Gdiplus::StringAlignmentCenter);
    const Gdiplus::SolidBrush back { Gdiplus::Color(kBoxBack) };
    const Gdiplus::SolidBrush highlight { Gdiplus::Color(kBoxHighlight) };
    const Gdiplus::Pen outline(Gdiplus::Color(kBoxOutline), 2.0f);
    canvas.graphics.FillRectangle(&back, 0, 0, canvas.width, canvas.height);
    // Four boxes whatever the number of items: a fifth lies beyond the right edge.
    const int slot = canvas.width / kBoxSlots;
    int x = 0;
    for (int i = 0; i < items.Count(); ++i) {
        Item& item = items[i];
        item.rect = CRect(x, 0, x + slot, canvas.height);
        const bool highlighted = IsHighlighted(i);
        if (highlighted)
            canvas.graphics.FillRectangle(&highlight, x, 0, slot, canvas.height);
        canvas.graphics.DrawRectangle(&outline, x, 1, slot - 1, canvas.height - 1);
        DrawItemText(canvas, item.text, item.rect, Gdiplus::Color(highlighted ? kBoxText : kBoxDimText));
        x += slot;
    }
}

std::pair<UINT, LONG> CTabCtrl5::ClickValues(int index) const
{
    return { static_cast<UINT>(index), 0 };
}

// ---- TabCtrl6: text tabs with a filled highlight

TabCtrl6::TabCtrl6(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : TabBar(parent, id, rect, visible, enabled)
{
}

const wchar_t* TabCtrl6::GetClassNameW() const { return L"TabCtrl6"; }

int TabCtrl6::AddItem(CString text, int id, int width, MControl* page)
{
    return AppendItem(text, id, width, page);
}

void TabCtrl6::DrawItems(Canvas& canvas, RecordList<Item>& items)
{
    canvas.format.SetAlignment(Gdiplus::StringAlignmentCenter);
    const Gdiplus::SolidBrush highlight { Gdiplus::Color(kTab6Highlight) };
    int x = 0;
    for (int i = 0; i < items.Count(); ++i) {
        Item& item = items[i];
        item.rect = CRect(x, 0, x + item.width, canvas.height);
        if (IsHighlighted(i))
            canvas.graphics.FillRectangle(&highlight, x, 0, item.width, canvas.height);
        DrawItemText(canvas, item.text, item.rect, m_textColor);
        x += item.width;
    }
}

std::pair<UINT, LONG> TabCtrl6::ClickValues(int index) const
{
    return { static_cast<UINT>(index), 0 };
}

} // namespace KOVA
