// GUI thread only. Lock order: the item lock is taken alone; the drop-down is filled under it
// (its own list takes its item lock below this one).
#include "controls/input/MComboBox.h"

#include <algorithm>

#include "controls/basic/LookPainting.h"
#include "controls/input/CComboBoxWnd.h"
#include "framework/FontCache.h"
#include "framework/MRender.h"
#include "framework/Manager.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
constexpr UINT kChosen = 2;
constexpr UINT kOpenRequest = 9;
constexpr UINT kClosed = 22;
constexpr LONG kDropDownChoice = 0x13;
constexpr int kLooks = 4;
constexpr int kShownRows = 5;
// The drop-down's list sits 6 px in from the top and bottom of its window.
constexpr int kDropDownPadding = 12;
constexpr int kGap = 2;
// The arrow column at the right of the face keeps the skin's own pixels.
constexpr int kArrowColumn = 30;
constexpr COLORREF kFaceBack = 0x636363;
constexpr DWORD kPopupStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr INT kTextFlags = Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces;
} // namespace

MComboBox::MComboBox(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : ButtonBase(parent, id, rect, L"", visible, enabled)
{
    m_hAlign = 0;
    m_imageCount = kLooks;
    ResetTextRect();
}

MComboBox::MComboBox(const MComboBox& other) : ButtonBase(other)
{
    copyValuesFrom(other);
}

MComboBox& MComboBox::operator=(const MComboBox& other)
{
    if (this != &other) {
        ButtonBase::operator=(other);
        copyValuesFrom(other);
    }
    return *this;
}

// The copy has no items: no selection, and no drop-down of its own.
void MComboBox::copyValuesFrom(const MComboBox& other)
{
    m_curSel = -1;
    m_open = false;
    m_textRect = other.m_textRect;
    m_marginLeft = other.m_marginLeft;
    m_marginTop = other.m_marginTop;
    m_marginRight = other.m_marginRight;
    m_marginBottom = other.m_marginBottom;
    m_backFile = other.m_backFile;
    m_backResource = other.m_backResource;
    m_backType = other.m_backType;
    m_scrollVertical = other.m_scrollVertical;
    m_scrollHorizontal = other.m_scrollHorizontal;
}

MComboBox::~MComboBox()
{
    disposeDropDown();
    ScopedLock lock(m_itemsLock);
    m_items->clear();
}

const wchar_t* MComboBox::GetClassNameW() const
{
    return L"MComboBox";
}

// ---- items

ComboItemInfo* MComboBox::itemAt(int index) const
{
    const auto& items = *m_items;
    return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<size_t>(index)].get() : nullptr;
}

int MComboBox::AddItem(const wchar_t* text, long data, const wchar_t* image, Gdiplus::Color colour)
{
    return InsertItem(-1, text, data, image, colour);
}

int MComboBox::InsertItem(int index, const wchar_t* text, long data, const wchar_t* image, Gdiplus::Color colour)
{
    auto item = std::make_unique<ComboItemInfo>();
    item->text = text ? text : L"";
    item->imagePath = image ? image : L"";
    item->colour = colour;
    item->data = data;
    int last = -1;
    {
        ScopedLock lock(m_itemsLock);
        auto& items = *m_items;
        const int count = static_cast<int>(items.size());
        if (index < -1 || index > count - 1)
            return -1;
        if (index == -1 || count == 0) {
            items.push_back(std::move(item));
        } else {
            items.insert(items.begin() + index, std::move(item));
            // The selection stays on its item.
            if (m_curSel >= index)
                ++m_curSel;
        }
        last = static_cast<int>(items.size()) - 1;
    }
    closeStaleDropDown();
    return last;
}

int MComboBox::DeleteItem(int index)
{
    bool currentWent = false;
    {
        ScopedLock lock(m_itemsLock);
        auto& items = *m_items;
        if (index < -1 || index >= static_cast<int>(items.size()))
            return 0;
        if (index == -1)
            return 1;
        items.erase(items.begin() + index);
        // The selection stays on its item.
        currentWent = index == m_curSel;
        if (currentWent)
            m_curSel = -1;
        else if (index < m_curSel)
            --m_curSel;
    }
    closeStaleDropDown();
    // The current item went: the face shows no text, GetCurData reads nothing.
    if (currentWent)
        SetTitle(L"");
    return 1;
}

int MComboBox::DelAllItems()
{
    m_curSel = -1;
    SetTitle(L"");
    {
        ScopedLock lock(m_itemsLock);
        m_items->clear();
    }
    closeStaleDropDown();
    Repaint(1);
    return 1;
}

int MComboBox::GetItemCount()
{
    ScopedLock lock(m_itemsLock);
    return static_cast<int>(m_items->size());
}

int MComboBox::SetItemData(int index, long data)
{
    ScopedLock lock(m_itemsLock);
    ComboItemInfo* item = itemAt(index);
    if (!item)
        return 0;
    item->data = data;
    return 1;
}

long MComboBox::GetItemData(int index)
{
    ScopedLock lock(m_itemsLock);
    const ComboItemInfo* item = itemAt(index);
    return item ? item->data : 0;
}

CString MComboBox::GetItemText(int index)
{
    ScopedLock lock(m_itemsLock);
    const ComboItemInfo* item = itemAt(index);
    return item ? item->text : CString();
}

int MComboBox::SetItemText(int index, CString text)
{
    {
        ScopedLock lock(m_itemsLock);
        ComboItemInfo* item = itemAt(index);
        if (!item)
            return 0;
        if (item->text == text)
            return 1;
        item->text = text;
    }
    closeStaleDropDown();
    if (index == m_curSel)
        SetTitle(text);
    Repaint(1);
    return 1;
}

int MComboBox::SetCurSel(int index)
{
    CString title;
    {
        ScopedLock lock(m_itemsLock);
        if (index < -1 || index >= static_cast<int>(m_items->size()))
            return 0;
        if (const ComboItemInfo* item = itemAt(index))
            title = item->text;
    }
    m_curSel = index;
    SetTitle(title);
    Repaint(1);
    return 1;
}

long MComboBox::GetCurData()
{
    return GetItemData(m_curSel);
}

int MComboBox::FindData(long data)
{
    ScopedLock lock(m_itemsLock);
    const auto& items = *m_items;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i]->data == data)
            return static_cast<int>(i);
    return -1;
}

int MComboBox::SelectData(long data)
{
    const int index = FindData(data);
    return index >= 0 ? SetCurSel(index) : 0;
}

// ---- the drop-down's look

int MComboBox::SetBackImage(const wchar_t* file)
{
    m_backFile = file ? file : L"";
    return 1;
}

int MComboBox::SetBackImage(UINT resourceId, CString type)
{
    m_backResource = resourceId;
    m_backType = type;
    return 1;
}

void MComboBox::SetScrollResID(UINT vertical, UINT horizontal)
{
    m_scrollVertical = vertical;
    m_scrollHorizontal = horizontal;
}

int MComboBox::SetShowModeMID(int left, int top, int right, int bottom)
{
    m_marginLeft = left;
    m_marginTop = top;
    m_marginRight = right;
    m_marginBottom = bottom;
    Repaint(1);
    return 1;
}

void MComboBox::ResetTextRect()
{
    m_textRect = m_rect.IsRectEmpty() ? CRect() : CRect(3, 3, m_rect.Width() - 26, m_rect.Height() - 3);
}

void MComboBox::SetControlRect(CRect rect)
{
    m_rect = rect;
    if (!rect.IsRectEmpty())
        ResetTextRect();
}

// ---- input and the drop-down protocol

int MComboBox::OnControlLButtonDown(UINT, CPoint pt)
{
    const int before = GetState();
    BeginPress(pt);
    if (GetState() != before)
        m_open = false;
    return Conclude(before, 0);
}

int MComboBox::OnControlLButtonUp(UINT, CPoint pt)
{
    const int before = GetState();
    const Step step = EndPress(pt);
    const int moved = Conclude(before, 0);
    if (step.taken && Contains(pt))
        OnMessage(kOpenRequest, kChosen, 0, 0);
    return moved;
}

LONG MComboBox::OnMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    if (code == kChosen && id == kOpenRequest)
        open();
    else if (code == kChosen && lParam == kDropDownChoice)
        choose(wParam);
    else if (code == kClosed) {
        m_open = false;
        Repaint(0);
    }
    return 0;
}

// Repaint first, then the report: the host may delete this combo in its handler. A row the
// combo no longer has is no choice.
void MComboBox::choose(UINT index)
{
    const int accepted = static_cast<int>(index) >= 0 ? SetCurSel(static_cast<int>(index)) : 0;
    m_open = false;
    Repaint(0);
    if (accepted)
        SendMessageW(kChosen, index, 0);
}

// The open drop-down lists copies of the items: once they change, a row there may name
// another item or none, so it closes (without a choice) and the next opening lists them anew.
void MComboBox::closeStaleDropDown()
{
    if (!m_open)
        return;
    disposeDropDown();
    m_open = false;
    Repaint(0);
}

// The window goes now and the object after the dispatch running on this thread: the
// drop-down may be disposed of from its own notification. It no longer reports here.
void MComboBox::disposeDropDown()
{
    CComboBoxWnd* dropDown = *m_dropDown;
    *m_dropDown = nullptr;
    if (!dropDown)
        return;
    dropDown->SetParent(nullptr);
    dropDown->DeleteLater();
}

void MComboBox::open()
{
    if (!m_manager)
        return;
    POINT anchor { m_rect.left, m_rect.bottom + kGap };
    ::ClientToScreen(m_manager->GetPaintWnd(), &anchor);
    const int rows = std::min(GetItemCount(), kShownRows);
    const int height = rows * static_cast<int>(30.0f * Manager::GetScaleValue()) + kDropDownPadding;
    disposeDropDown();
    auto* dropDown = new CComboBoxWnd;
    *m_dropDown = dropDown;
    dropDown->SetScrollResID(m_scrollVertical, m_scrollHorizontal);
    dropDown->SetParent(this);
    dropDown->Create(m_manager->GetPaintWnd(), L"ComboWnd", kPopupStyle, WS_EX_TOOLWINDOW,
                     CRect(anchor.x, anchor.y, anchor.x + m_rect.Width(), anchor.y + height), nullptr);
    if (!m_backFile.IsEmpty())
        dropDown->LoadBKImage(m_backFile);
    else if (m_backResource)
        dropDown->LoadBKImage(m_backResource, m_backType);
    {
        ScopedLock lock(m_itemsLock);
        if (CComboBoxList* list = dropDown->GetList()) {
            for (const auto& item : *m_items)
                list->AddItem(item->text, item->data, item->imagePath, item->colour);
            dropDown->RefreshList();
            list->SetTextColor(m_textColor);
        }
        dropDown->ShowWindow(SW_SHOW);
    }
    m_open = true;
    Repaint(0);
}

// ---- face

int MComboBox::faceFrame() const
{
    return m_open ? LookPressed : GetState();
}

void MComboBox::paintFaces(Gdiplus::Graphics& graphics)
{
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    Gdiplus::SolidBrush back(Gdiplus::Color(255, GetRValue(kFaceBack), GetGValue(kFaceBack), GetBValue(kFaceBack)));
    const std::unique_ptr<Gdiplus::Font> font =
        m_title.IsEmpty() ? nullptr : MakeTextFont(*this, static_cast<float>(static_cast<int>(m_fontSize * Manager::GetScaleValue())));
    Gdiplus::StringFormat format(kTextFlags);
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    graphics.SetTextRenderingHint(m_textRenderingHint);
    for (int look = 0; look < kLooks; ++look) {
        const int x = look * width;
        graphics.FillRectangle(&back, x, 0, width - kArrowColumn, height);
        if (m_image)
            MRender::DrawImageFrameMID(graphics, m_image, CRect(x, 0, x + width, height), look * GetFrameWidth(), 0,
                                       GetFrameWidth(), m_imageHeight, 6, 6, 32, 6);
        if (!font)
            continue;
        Gdiplus::SolidBrush text(look == LookDisabled ? Gdiplus::Color(kDisabledGrey) : m_textColor);
        const Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(x + m_textRect.left), 0.0f,
                                    static_cast<Gdiplus::REAL>(m_textRect.Width()), static_cast<Gdiplus::REAL>(height));
        graphics.DrawString(m_title, m_title.GetLength(), TextFont(font.get(), m_title), layout, &format, &text);
    }
}

void MComboBox::DrawControl(HDC& dc, CRect)
{
    DrawStrip(dc, kLooks, faceFrame(), [this](Gdiplus::Graphics& graphics) { paintFaces(graphics); });
}

} // namespace KOVA
