// The keyboard view's keys, setters, input and tick; its drawing is in KeyboardCtrlDraw.cpp.
//
// Threads and locks: OnControlTimer runs on the fast-timer thread and takes only the key lock
// (the item list's lock), to step the frame; DrawControl takes the same lock on the GUI thread.
// Repaint requests and notifications are made with the key lock let go. The view leaves the
// fast timer (waiting out a tick in progress) before its destructor touches anything else.
#include "devices/peripherals/KeyboardCtrl.h"

#include <algorithm>
#include <cstdlib>

#include "framework/AppPaths.h"
#include "framework/CKeyboardTips.h"
#include "framework/MRender.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
constexpr COLORREF kNewKeyColour = 0x0000E1FF;
constexpr COLORREF kToggledOn = 0x00FFFF00;
constexpr COLORREF kWhite = 0x00FFFFFF;
constexpr UINT kReleaseCode = 2;
constexpr UINT kRightReleaseCode = 5;
constexpr UINT kBandCancelledCode = 0x18;
// A drag moves the band's corner only in steps longer than this, so that a click with a
// trembling hand never checks keys.
constexpr int kBandStep = 20;
// Below this width or height the band is a click, not a selection: it checks nothing.
constexpr int kBandMinimum = 6;
// Ticks per frame for the speeds 0 to 3; any other speed steps every tick.
constexpr int kTicksPerSpeed[] = { 12, 9, 6, 3 };
// The tip bubble is created hidden (without WS_VISIBLE) and shown without the activation, so
// that hovering keys never takes the activation from the host's window.
constexpr DWORD kTipStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | 0x80;

struct KeyEntry : ListItem {
    KEY_INFO key;
};
} // namespace

KEY_INFO::~KEY_INFO()
{
    delete icon;
}

KeyboardCtrl::KeyboardCtrl(MObject* parent, UINT id, CRect rect, int visible) : ItemList(parent, id, rect, visible, 1)
{
    makeLabelTools();
}

KeyboardCtrl::KeyboardCtrl(const KeyboardCtrl& other) : ItemList(other)
{
    makeLabelTools();
    *this = other;
}

void KeyboardCtrl::makeLabelTools()
{
    auto format = std::make_unique<Gdiplus::StringFormat>();
    format->SetAlignment(Gdiplus::StringAlignmentCenter);
    format->SetLineAlignment(Gdiplus::StringAlignmentCenter);
    *m_format = std::move(format);
    *m_labelBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(0xFFF5F5F5));
    *m_shadowBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(0xFF505050));
}

KeyboardCtrl& KeyboardCtrl::operator=(const KeyboardCtrl& other)
{
    if (this == &other)
        return *this;
    ItemList::operator=(other);
    m_currentKeyValue = other.m_currentKeyValue;
    m_tipsEnabled = other.m_tipsEnabled;
    m_mode = other.m_mode;
    m_pictureX = other.m_pictureX;
    m_pictureY = other.m_pictureY;
    m_pictureWidth = other.m_pictureWidth;
    m_pictureHeight = other.m_pictureHeight;
    m_scale = other.m_scale;
    m_musicBrightness = other.m_musicBrightness;
    m_ticksPerFrame = other.m_ticksPerFrame;
    m_frameSelect = other.m_frameSelect;
    return *this;
}

KeyboardCtrl::~KeyboardCtrl()
{
    StopFastTimer();
    if (*m_tips) {
        (*m_tips)->DestroyWindow();
        m_tips->reset();
    }
    ClearItem();
}

const wchar_t* KeyboardCtrl::GetClassNameW() const
{
    return L"KeyboardCtrl";
}

void KeyboardCtrl::InitControl(PaintManager* manager)
{
    ItemList::InitControl(manager);
    // A manager this view leaves takes it off its tick list (SetManager); attached again to the
    // one it is on, it leaves first, so that it ticks once a tick wherever it is attached.
    if (manager) {
        while (manager->DeleteFSTimer(this)) {
        }
        manager->AddMTimer(this);
    }
    SetControlRect(m_rect);
}

void KeyboardCtrl::SetControlRect(CRect rect)
{
    ItemList::SetControlRect(rect);
    if (!rect.IsRectEmpty() && m_pictureWidth && m_pictureHeight)
        placePicture();
    repaintIfShown();
}

void KeyboardCtrl::placePicture()
{
    m_scale = 1.0;
    m_pictureY = 0;
    m_pictureX = (m_rect.Width() - m_pictureWidth) / 2;
}

void KeyboardCtrl::repaintIfShown()
{
    if (m_visible)
        UpdateControl(1, 0);
}

bool KeyboardCtrl::animating() const
{
    return m_run && m_mode == ModeLight && m_frameCount >= 1;
}

CPoint KeyboardCtrl::ItemOrigin() const
{
    return CPoint(m_rect.left + m_pictureX, m_rect.top + m_pictureY);
}

CRect KeyboardCtrl::ItemCell(const ListItem& item) const
{
    return static_cast<const KeyEntry&>(item).key.rect;
}

CRect KeyboardCtrl::GetRealRect(CRect rect) const
{
    rect.OffsetRect(m_pictureX, m_pictureY);
    return rect;
}

// ---- picture and keys

void KeyboardCtrl::SetKeyboardImage(CString file)
{
    // Loaded before the lock is taken: a tick waiting on it would wait out the file.
    std::unique_ptr<Gdiplus::Image> picture(MRender::LoadImageFromFile(GetSkinPath() + file));
    ScopedLock lock(m_itemsLock);
    m_picture->swap(picture);
}

void KeyboardCtrl::SetWidthAndHeight(int width, int height)
{
    m_pictureWidth = width;
    m_pictureHeight = height;
    if (!m_rect.IsRectEmpty())
        placePicture();
}

void KeyboardCtrl::SetKeyboardCtrlMode(int mode)
{
    m_mode = mode;
    repaintIfShown();
}

KEY_INFO* KeyboardCtrl::keyAt(int index) const
{
    KeyEntry* entry = EntryAt<KeyEntry>(index);
    return entry ? &entry->key : nullptr;
}

template <class Change>
void KeyboardCtrl::forEachKey(Change change)
{
    ScopedLock lock(m_itemsLock);
    for (int i = 0; KEY_INFO* key = keyAt(i); ++i)
        change(*key, i);
}

template <class Change>
void KeyboardCtrl::changeKeyById(unsigned long keyId, Change change)
{
    ScopedLock lock(m_itemsLock);
    for (int i = 0; KEY_INFO* key = keyAt(i); ++i)
        if (key->keyId == keyId) {
            change(*key);
            return;
        }
}

int KeyboardCtrl::AddKeyItem(const wchar_t* name, const wchar_t* secondName, unsigned long keyId, CRect rect,
                             CString iconFile)
{
    auto entry = std::make_unique<KeyEntry>();
    KEY_INFO& key = entry->key;
    key.keyId = keyId;
    key.name = name;
    key.secondName = secondName;
    key.rect = rect;
    if (!iconFile.IsEmpty()) {
        key.icon = MRender::LoadImageFromFile(GetSkinPath() + iconFile);
        if (key.icon && key.icon->GetLastStatus() == Gdiplus::Ok) {
            key.iconWidth = static_cast<int>(key.icon->GetWidth());
            key.iconHeight = static_cast<int>(key.icon->GetHeight());
        }
    }
    ScopedLock lock(m_itemsLock);
    key.index = static_cast<int>(m_items->size());
    return AppendItem(std::move(entry));
}

void KeyboardCtrl::ClearItem()
{
    DropItems();
}

std::vector<KEY_INFO*> KeyboardCtrl::GetKeyItems()
{
    std::vector<KEY_INFO*> keys;
    forEachKey([&keys](KEY_INFO& key, int) { keys.push_back(&key); });
    return keys;
}

int KeyboardCtrl::GetCheckItemCount()
{
    int count = 0;
    forEachKey([&count](KEY_INFO& key, int) { count += key.check != 0; });
    return count;
}

void KeyboardCtrl::SetAllSelectColor(unsigned long colour)
{
    forEachKey([this, colour](KEY_INFO& key, int i) {
        if (key.check || i == m_selected)
            key.color = colour;
    });
    repaintIfShown();
}

void KeyboardCtrl::ResetAllItemsColor(unsigned long colour)
{
    forEachKey([colour](KEY_INFO& key, int) { key.color = colour; });
    repaintIfShown();
}

void KeyboardCtrl::ResetAllItemCheck()
{
    ResetAllItemCheck(0);
}

void KeyboardCtrl::ResetAllItemCheck(int check)
{
    forEachKey([check](KEY_INFO& key, int) { key.check = check; });
    m_selected = -1;
    repaintIfShown();
}

void KeyboardCtrl::SetKeyCheck(unsigned long keyId, int check)
{
    changeKeyById(keyId, [check](KEY_INFO& key) { key.check = check; });
}

void KeyboardCtrl::SetKeyColor(unsigned long keyId, unsigned long colour)
{
    changeKeyById(keyId, [colour](KEY_INFO& key) { key.color = colour; });
}

unsigned long KeyboardCtrl::GetKeyColor(unsigned long keyId)
{
    unsigned long colour = 0;
    changeKeyById(keyId, [&colour](KEY_INFO& key) { colour = key.color; });
    return colour;
}

void KeyboardCtrl::SetKeyDesc(unsigned long keyId, CString text)
{
    changeKeyById(keyId, [&text](KEY_INFO& key) {
        key.name = text;
        key.secondName = text;
    });
}

void KeyboardCtrl::SetTipKey(unsigned long keyId, CString description, CString tip)
{
    changeKeyById(keyId, [&](KEY_INFO& key) {
        key.description = description;
        key.tip = tip;
    });
}

void KeyboardCtrl::ResetTipKey()
{
    forEachKey([](KEY_INFO& key, int) {
        key.description.Empty();
        key.tip.Empty();
    });
}

// ---- lighting

void KeyboardCtrl::SetLightModeData(unsigned char* data, int length)
{
    {
        ScopedLock lock(m_itemsLock);
        const size_t keys = m_items->size();
        // Without keys there are no frames to cut the data into, and without a buffer nothing
        // to copy: both leave the view without data.
        if (length < 1 || !data || keys == 0) {
            m_lightData.clear();
            m_frameCount = 0;
        } else {
            m_lightData.assign(data, data + length);
            m_frameCount = static_cast<int>(static_cast<unsigned>(length) / keys);
        }
        m_frame = 0;
        m_tick = 0;
    }
    repaintIfShown();
}

void KeyboardCtrl::SetLightSpeed(int speed)
{
    m_ticksPerFrame = speed >= 0 && speed < 4 ? kTicksPerSpeed[speed] : 1;
}

void KeyboardCtrl::SetLightModeColor(int white, unsigned long colour)
{
    const unsigned long value = white ? kWhite : colour;
    forEachKey([value](KEY_INFO& key, int) { key.color = value; });
    repaintIfShown();
}

void KeyboardCtrl::SetMusicBrightness(int brightness)
{
    if (brightness == m_musicBrightness)
        return;
    forEachKey([](KEY_INFO& key, int) { key.color = kToggledOn; });
    m_musicBrightness = brightness;
    repaintIfShown();
}

BYTE KeyboardCtrl::lightAlpha(int index) const
{
    // Keys added after the data, or a frame count changed under the tick, have no byte: they
    // show at full brightness like keys without data.
    const size_t at = static_cast<size_t>(m_frame) * m_items->size() + static_cast<size_t>(index);
    return at < m_lightData.size() ? m_lightData[at] : 255;
}

int KeyboardCtrl::OnControlTimer()
{
    m_run = 1;
    // Hidden, or on a hidden page: no frame steps and no repaint requests.
    if (!m_visible || !IsParentVisible())
        return 0;
    if (m_mode != ModeLight)
        return 1;
    {
        ScopedLock lock(m_itemsLock);
        if (m_frameCount < 1)
            return 0;
        if (++m_tick < m_ticksPerFrame)
            return 1;
        m_tick = 0;
        m_frame = (m_frame + 1) % m_frameCount;
    }
    // Flag 0: the picture and the outlines' shapes stay valid; the paint blends the new alphas.
    UpdateControl(0, 0);
    return 1;
}

// ---- pointer

void KeyboardCtrl::dragBand(CPoint pt)
{
    if (!m_rect.PtInRect(pt))
        return;
    if (std::abs(pt.x - m_bandEnd.x) <= kBandStep && std::abs(pt.y - m_bandEnd.y) <= kBandStep)
        return;
    m_bandEnd = pt;
    m_bandActive = 1;
    CalFrameSelect();
    repaintIfShown();
}

void KeyboardCtrl::followPastTheEdge()
{
    // The drag's moves and its release come here wherever the pointer goes, so that a band
    // released outside the view still ends.
    if (m_frameSelect && m_manager)
        m_manager->SetCapture();
}

void KeyboardCtrl::clearBand()
{
    m_bandActive = 0;
    m_bandStart = CPoint();
    m_bandEnd = CPoint();
}

void KeyboardCtrl::CalFrameSelect()
{
    CRect band(std::min(m_bandStart.x, m_bandEnd.x), std::min(m_bandStart.y, m_bandEnd.y),
               std::max(m_bandStart.x, m_bandEnd.x), std::max(m_bandStart.y, m_bandEnd.y));
    if (band.Width() < kBandMinimum || band.Height() < kBandMinimum)
        band.SetRectEmpty();
    ScopedLock lock(m_itemsLock);
    for (const auto& item : *m_items) {
        CRect met;
        static_cast<KeyEntry&>(*item).key.check = met.IntersectRect(&band, PlaceOf(*item)) ? 1 : 0;
    }
}

int KeyboardCtrl::OnControlMouseMove(UINT keys, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (m_frameSelect && (keys & (MK_LBUTTON | MK_RBUTTON))) {
        dragBand(pt);
        return 1;
    }
    const int before = m_hover;
    const HoverMove move = TrackHover(pt);
    if (move == HoverMove::Held) {
        KEY_INFO* key = nullptr;
        CRect place;
        {
            ScopedLock lock(m_itemsLock);
            key = keyAt(m_hover);
            place = PlaceOf(*ItemAt(m_hover));
        }
        SetTips(key, place, true);
        return 1;
    }
    if (move == HoverMove::Left || before >= 0)
        hideTips();
    if (m_hover == before || animating())
        return 0;
    repaintIfShown();
    return 1;
}

int KeyboardCtrl::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (m_bandActive) {
        m_bandActive = 0;
        repaintIfShown();
    }
    const int before = m_selected;
    if (m_rect.PtInRect(pt)) {
        m_bandStart = pt;
        m_bandEnd = pt;
        m_selected = m_hover;
        followPastTheEdge();
    } else {
        clearBand();
    }
    if (m_selected != before && !animating())
        repaintIfShown();
    return 1;
}

int KeyboardCtrl::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (m_bandActive) {
        clearBand();
        repaintIfShown();
    }
    if (!m_rect.PtInRect(pt))
        return 1;
    const int clicked = m_selected;
    unsigned long keyId = 0;
    bool found = false;
    bool toggled = false;
    {
        ScopedLock lock(m_itemsLock);
        if (KEY_INFO* key = keyAt(clicked)) {
            if (m_mode == ModeUserLight) {
                key->color = key->color == 0 ? kToggledOn : 0;
                toggled = true;
            }
            keyId = key->keyId;
            m_currentKeyValue = static_cast<int>(keyId);
            found = true;
        }
    }
    if (toggled)
        repaintIfShown();
    // An index that names no key (none pressed, or the keys were replaced) reports no key.
    if (!found)
        SendMessageW(kReleaseCode, static_cast<UINT>(-1), 0);
    else
        SendMessageW(kReleaseCode, static_cast<UINT>(clicked), static_cast<LONG>(keyId));
    return 1;
}

int KeyboardCtrl::OnControlRButtonDown(UINT, CPoint pt)
{
    if (!m_enabled || !m_frameSelect)
        return 0;
    if (m_rect.PtInRect(pt)) {
        m_bandStart = pt;
        followPastTheEdge();
    } else {
        clearBand();
    }
    return 1;
}

int KeyboardCtrl::OnControlRButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (m_bandActive) {
        clearBand();
        SendMessageW(kBandCancelledCode, 0, 0);
        repaintIfShown();
        return 1;
    }
    if (!m_rect.PtInRect(pt))
        return 1;
    const int before = m_selected;
    m_selected = m_hover;
    unsigned long keyId = 0;
    {
        ScopedLock lock(m_itemsLock);
        if (const KEY_INFO* key = keyAt(m_selected))
            keyId = key->keyId;
    }
    m_currentKeyValue = static_cast<int>(keyId);
    const int clicked = m_selected;
    // The repaint is asked for before the parent hears: its handler may delete this view.
    if (clicked != before)
        repaintIfShown();
    SendMessageW(kRightReleaseCode, static_cast<UINT>(clicked), static_cast<LONG>(keyId));
    return 1;
}

// ---- tips

CKeyboardTips* KeyboardCtrl::tipWindow()
{
    // The bubble is owned by the host's window and goes with it: a view attached again makes
    // a new one for the window it is in now.
    const HWND host = m_manager ? m_manager->GetPaintWnd() : nullptr;
    if (*m_tips) {
        const HWND bubble = (*m_tips)->GetSafeHwnd();
        const bool gone = !::IsWindow(bubble);
        if (gone || (host && ::GetWindow(bubble, GW_OWNER) != host)) {
            if (!gone)
                (*m_tips)->DestroyWindow();
            m_tips->reset();
        }
    }
    if (!*m_tips && ::IsWindow(host)) {
        auto tips = std::make_unique<CKeyboardTips>();
        tips->Create(host, L"KeyboardTip Window", kTipStyle, 0, CRect(), nullptr);
        tips->LoadBKImage(L"img_tip_bk.png");
        *m_tips = std::move(tips);
    }
    return m_tips->get();
}

void KeyboardCtrl::SetTips(KEY_INFO* key, CRect rect, bool show)
{
    if (!m_tipsEnabled)
        return;
    CKeyboardTips* tips = tipWindow();
    if (!tips)
        return;
    // Detached, the view has no window to place the bubble against: it only hides it.
    if (!show || !key || !m_manager) {
        tips->ShowWindow(SW_HIDE);
        return;
    }
    POINT anchor { rect.left + (rect.right - rect.left) / 2, rect.top };
    ::ClientToScreen(m_manager->GetPaintWnd(), &anchor);
    if (key->description.IsEmpty() && key->tip.IsEmpty())
        tips->SetAirBladderMsg(key->secondName, L"Keyboard", key->secondName, anchor);
    else
        tips->SetAirBladderMsg(key->secondName, key->description, key->tip, anchor);
    tips->ShowWindow(SW_SHOWNOACTIVATE);
}

} // namespace KOVA
