// GUI thread only. The child-control lock is held only to walk the child list; repaint
// requests and notifications are made with it let go.
#include "devices/cooling/CHomeFuncCtrl.h"

#include <algorithm>

#include "controls/basic/LookPainting.h"
#include "controls/basic/MButton.h"
#include "controls/basic/MPicture.h"
#include "controls/basic/MText.h"
#include "framework/AppPaths.h"
#include "framework/MRender.h"
#include "framework/MRenderInternal.h"
#include "framework/RectsMeet.h"

namespace KOVA {

namespace {
constexpr UINT kVerticalBar = 1;
constexpr UINT kHorizontalBar = 2;
constexpr UINT kPositionChanged = 8;
constexpr int kWheelRows = 10;
// The link buttons are laid out for a 950-pixel row centred on the page.
constexpr int kLinkRow = 950;
constexpr int kLanguageBuffer = 260;
const wchar_t* const kHeadingFace = L"Alibaba-PuHuiTi-Medium";
constexpr int kHeadingSize = 20;
const wchar_t* const kArrowImage = L"\\icon\\icon_arrow_down.png";

// Where a child's x edge is measured from: the window's left edge, the page's right edge R, or
// the start X of the centred link row.
enum class From { Left, Right, LinkRow };

struct ChildPlace {
    UINT id;
    const wchar_t* className;
    const wchar_t* title;
    From leftFrom;
    int left;
    int top;
    From rightFrom;
    int right;
    int bottom;
    bool placed;
};

// Creation order is drawing and hit-test order.
const ChildPlace kChildren[] = {
    { 31, L"MPicture", L"", From::Left, 50, 176, From::Left, 73, 194, true },
    { 32, L"MText", L"设备", From::Left, 80, 170, From::Left, 280, 200, true },
    { 37, L"MPicture", L"", From::Left, 50, 886, From::Left, 73, 904, true },
    { 38, L"MText", L"在线服务", From::Left, 80, 880, From::Left, 280, 910, true },
    { 42, L"MPicture", L"", From::Left, 50, 1186, From::Left, 73, 1204, true },
    { 43, L"MText", L"您的设置存档", From::Left, 80, 1180, From::Left, 350, 1210, true },
    { 47, L"MPicture", L"", From::Left, 0, 0, From::Left, 0, 0, false },
    { 48, L"MText", L"您可能敢兴趣的", From::Left, 0, 0, From::Left, 0, 0, false },
    { 35, L"CDeviceCtrl", L"", From::Left, 200, 280, From::Right, -200, 940, true },
    { 39, L"MButton2", L"", From::LinkRow, 310, 910, From::LinkRow, 610, 1161, true },
    { 40, L"MButton2", L"", From::LinkRow, 0, 910, From::LinkRow, 300, 1161, true },
    { 41, L"MButton2", L"", From::LinkRow, 620, 910, From::LinkRow, 920, 1161, true },
    { 44, L"ArchivedCtrl", L"", From::Left, 200, 1200, From::Right, -200, 1660, true },
    { 45, L"MButton", L"", From::Right, -260, 1590, From::Right, -160, 1620, true },
    { 46, L"MButton", L"", From::Right, -150, 1590, From::Right, -50, 1620, true },
};

// The order the layout moves them in.
const UINT kLayoutOrder[] = { 31, 32, 35, 37, 38, 40, 39, 41, 42, 43, 44, 45, 46 };

struct LinkButton {
    UINT id;
    const wchar_t* icon;
    const wchar_t* title;
};
const LinkButton kLinkButtons[] = {
    { 39, L"icon\\icon_customer.png", L"登记您的产品售后" },
    { 40, L"icon\\icon_web.png", L"BRAVIK官网" },
    { 41, L"icon\\icon_feedback.png", L"意见反馈" },
};

struct LanguageTitle {
    int key;
    UINT id;
};
const LanguageTitle kLanguageTitles[] = {
    { 110, 32 }, { 111, 38 }, { 112, 43 }, { 113, 48 }, { 145, 39 },
    { 146, 40 }, { 147, 41 }, { 138, 45 }, { 139, 46 },
};

struct SampleTile {
    int first;
    int second;
    const wchar_t* image;
};
const SampleTile kSampleTiles[] = {
    { 1, 1, L"device\\img_gpu2.png" },          { 2, 2, L"device\\img_ledscreen_circle.png" },
    { 3, 2, L"device\\img_ledscreen_square.png" }, { 4, 2, L"device\\img_led_qk310.png" },
    { 5, 5, L"device\\img_gpu2.png" },          { 6, 6, L"device\\img_fan.png" },
};
constexpr int kSampleCards = 6;

// The one colour (0x00BBGGRR) every pixel of the picture has, or -1.
int plainColourOf(const MemoryPicture& picture)
{
    const int width = picture.width();
    const int height = picture.height();
    if (width <= 0 || height <= 0)
        return -1;
    detail::DibSurface copy;
    if (!copy.Make(width, height))
        return -1;
    ::BitBlt(copy.dc, 0, 0, width, height, picture.dc(), 0, 0, SRCCOPY);
    ::GdiFlush();
    const DWORD* pixels = copy.bits;
    const DWORD first = pixels[0] & 0x00FFFFFF;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    bool plain = true;
    for (size_t i = 1; plain && i < count; ++i)
        plain = (pixels[i] & 0x00FFFFFF) == first;
    return plain ? static_cast<int>(RGB(GetBValue(first), GetGValue(first), GetRValue(first))) : -1;
}

int edge(From from, int value, const CRect& page)
{
    switch (from) {
    case From::Right:
        return page.right + value;
    case From::LinkRow:
        return (page.Width() - kLinkRow) / 2 + value;
    case From::Left:
        break;
    }
    return value;
}
} // namespace

CHomeFuncCtrl::CHomeFuncCtrl(MObject* parent, UINT id, CRect rect, int visible, int)
    : MPanel(parent, id, rect, visible)
{
}

CHomeFuncCtrl::CHomeFuncCtrl(const CHomeFuncCtrl& other) = default;
CHomeFuncCtrl& CHomeFuncCtrl::operator=(const CHomeFuncCtrl& other) = default;
CHomeFuncCtrl::~CHomeFuncCtrl() = default;

const wchar_t* CHomeFuncCtrl::GetClassNameW() const { return L"CHomeFuncCtrl"; }

// ---- building and placing the children

void CHomeFuncCtrl::InitControl(PaintManager* manager)
{
    m_initialised = 1;
    CScrollVertical* bar = GetScrollVertical();
    bar->SetManager(manager);
    GetScrollHorizontal()->SetManager(manager);
    if (!bar->IsVisible()) {
        bar->SetControlVisible(1);
        bar->UpdateControl(1, 0);
    }
    bar->SetScrollMaxRange(kBarRange);
    if (!*m_devicesArrow) {
        InitUI(m_rect);
        return;
    }
    // Built on the first attach: a later one hands the new manager (or none) to the children.
    for (MControl* control : childrenNow())
        if (control && control != bar && control != GetScrollHorizontal())
            control->SetManager(manager);
}

MControl* CHomeFuncCtrl::child(UINT id)
{
    ScopedLock lock(m_controlsLock);
    for (MControl* control : *m_controls)
        if (control && control != GetScrollVertical() && control != GetScrollHorizontal()
            && control->GetControlID() == id)
            return control;
    return nullptr;
}

void CHomeFuncCtrl::InitUI(CRect)
{
    for (const ChildPlace& place : kChildren)
        CreateControl(place.className, place.id, CRect(), place.title, 1, 1);
    *m_devicesArrow = dynamic_cast<MPicture*>(child(31));
    *m_devicesHeading = dynamic_cast<MText*>(child(32));
    *m_serviceArrow = dynamic_cast<MPicture*>(child(37));
    *m_serviceHeading = dynamic_cast<MText*>(child(38));
    *m_archiveArrow = dynamic_cast<MPicture*>(child(42));
    *m_archiveHeading = dynamic_cast<MText*>(child(43));
    *m_interestArrow = dynamic_cast<MPicture*>(child(47));
    *m_interestHeading = dynamic_cast<MText*>(child(48));
    *m_devices = dynamic_cast<CDeviceCtrl*>(child(35));
    *m_productButton = dynamic_cast<MButton2*>(child(39));
    *m_webButton = dynamic_cast<MButton2*>(child(40));
    *m_feedbackButton = dynamic_cast<MButton2*>(child(41));
    *m_archive = dynamic_cast<ArchivedCtrl*>(child(44));
    *m_restoreButton = dynamic_cast<MButton*>(child(45));
    *m_resetButton = dynamic_cast<MButton*>(child(46));

    for (MPicture* arrow : { *m_devicesArrow, *m_serviceArrow, *m_archiveArrow, *m_interestArrow }) {
        arrow->SetImage(kArrowImage, 1);
        arrow->SetShowMode(ShowModeStretch, 4);
    }
    for (MText* heading : { *m_devicesHeading, *m_serviceHeading, *m_archiveHeading, *m_interestHeading }) {
        heading->SetFont(kHeadingFace, kHeadingSize, Gdiplus::FontStyleRegular);
        heading->SetTextColor(Gdiplus::Color(0xFFFFFFFF));
    }
    CDeviceCtrl* devices = *m_devices;
    devices->SetImage(L"img_dev_bkg.png", 2);
    devices->SetCheckImage(L"img_dev_check.png");
    devices->SetAddIconImage(L"icon\\icon_adddev.png");
    for (const SampleTile& tile : kSampleTiles)
        devices->AddDevice(L"", tile.first, tile.second, false, tile.image);
    for (const LinkButton& link : kLinkButtons) {
        auto* button = dynamic_cast<MButton2*>(child(link.id));
        button->SetImage(L"img_button2.png", 2);
        button->SetIconImage(link.icon, 4);
        button->SetTitle(link.title);
    }
    ArchivedCtrl* archive = *m_archive;
    archive->SetImage(L"img_button2.png", 2);
    for (int i = 0; i < kSampleCards; ++i)
        archive->AddItem(L"空", L"请添加", 1, L"2023年1月1日");
    (*m_restoreButton)->SetImage(L"img_button.png", 4);
    (*m_restoreButton)->SetTitle(L"恢复存档");
    (*m_resetButton)->SetImage(L"img_button.png", 4);
    (*m_resetButton)->SetTitle(L"重置存档");
}

void CHomeFuncCtrl::UISize(CRect rect)
{
    if (rect.IsRectEmpty() || !*m_devicesArrow)
        return;
    for (UINT id : kLayoutOrder) {
        const auto place = std::find_if(std::begin(kChildren), std::end(kChildren),
                                        [id](const ChildPlace& p) { return p.id == id; });
        if (MControl* control = child(id))
            control->SetRect(CRect(edge(place->leftFrom, place->left, rect), place->top,
                                   edge(place->rightFrom, place->right, rect), place->bottom));
    }
    m_virtualHeight = kContentHeight;
}

void CHomeFuncCtrl::SetControlRect(CRect rect)
{
    if (rect == m_rect)
        return;
    m_rect = rect;
    UISize(rect);
    GetScrollVertical()->SetRect(CRect(rect.right - m_barInset, rect.top, rect.right, rect.bottom));
}

// ---- forwarding

void CHomeFuncCtrl::GetCurDeviceInfo(int& first, int& second)
{
    if (*m_devices)
        (*m_devices)->GetCurDeviceInfo(first, second);
}

void CHomeFuncCtrl::SetDeviceState(int index, CString name, bool state, CString imageFile)
{
    if (*m_devices)
        (*m_devices)->SetDeviceState(index, name, state, imageFile);
}

void CHomeFuncCtrl::ClearArchived()
{
    if (*m_archive)
        (*m_archive)->ClearList();
}

void CHomeFuncCtrl::AddArchived(CString title, CString second, int profile, CString third)
{
    if (*m_archive)
        (*m_archive)->AddItem(title, second, profile, third);
}

int CHomeFuncCtrl::GetArchivedCurItem()
{
    return *m_archive ? (*m_archive)->GetSelectItem() : -1;
}

int CHomeFuncCtrl::GetArchivedCurProfile()
{
    return *m_archive ? (*m_archive)->GetCurProfile() : 0;
}

void CHomeFuncCtrl::SetArchivedCurProfile(int profile)
{
    if (*m_archive)
        (*m_archive)->SetCurProfile(profile);
}

LONG CHomeFuncCtrl::OnMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    if (!m_parent)
        return 0;
    if ((id == kVerticalBar || id == kHorizontalBar) && code == kPositionChanged) {
        UpdateControl(1, 0);
        return m_parent->OnBaseMessage(id, code, wParam, lParam);
    }
    return m_parent->OnBaseMessage(m_uControlID, id, code, wParam);
}

// ---- scrolling

int CHomeFuncCtrl::OnScroll(int step, UINT down, CPoint pt)
{
    if (!m_visible || !m_enabled || !m_response || !PtInRect(pt))
        return 0;
    return OnControlScroll(step, down, pt) ? 1 : 0;
}

int CHomeFuncCtrl::OnControlScroll(int, UINT down, CPoint)
{
    if (GetScrollVertical()->ScrollRow(down == 1 ? kWheelRows : -kWheelRows))
        UpdateControl(1, 0);
    return 1;
}

void CHomeFuncCtrl::SetVirtualTop(int top)
{
    CScrollVertical* bar = GetScrollVertical();
    const int room = kContentHeight - m_rect.Height();
    // A page at least as tall as its content has nothing to scroll.
    const long long position = room > 0 ? static_cast<long long>(bar->GetScrollMaxRange()) * top / room : 0;
    bar->SetScrollCurrentPos(static_cast<int>(std::max(0LL, std::min<long long>(position, bar->GetScrollMaxRange()))));
    UpdateControl(1, 0);
}

int CHomeFuncCtrl::contentOffset() const
{
    // Never negative: a page taller than its content shows it from the top.
    return GetScrollOffset().y;
}

// ---- painting

void CHomeFuncCtrl::SetUpdate(int update, DWORD param)
{
    if (!LookLayer::BlendsAlike()) {
        MPanel::SetUpdate(update, param);
        return;
    }
    m_update = update;
}

void CHomeFuncCtrl::DrawControl(HDC& dc, CRect)
{
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    const bool sized = m_memPicture.dc() && m_memPicture.width() == width && m_memPicture.height() == height;
    if (GetUpdate() && sized) {
        ShowCachedLook(*this, m_memPicture, dc, 0);
        return;
    }
    // The picture of the page's size is taken again in place: a new one of 1520 × 900 pixels
    // costs more in fresh memory than the copy.
    if (!sized)
        UpdateMemDC(dc, width, height);
    m_update = 1;
    // Just taken from the target, the picture is what the target holds.
    MRender::BitBlt(m_memPicture.dc(), 0, 0, width, height, dc, m_rect.left, m_rect.top);
    if (LookLayer::BlendsAlike())
        return;
    const int plain = plainColourOf(m_memPicture);
    if (plain < 0 || plain != m_plainBackdrop)
        m_backdropChanged = true;
    m_plainBackdrop = plain;
}

int CHomeFuncCtrl::DrawSubControls(HDC& dc, CRect paintRect)
{
    const int offset = contentOffset();
    if (m_rect.right - m_barInset <= 0 || m_virtualHeight + m_rect.top <= 0)
        return 1;
    if (LookLayer::BlendsAlike())
        drawOverLooks(dc, offset);
    else
        drawOverGround(dc, paintRect, offset);
    CScrollVertical* bar = GetScrollVertical();
    CRect barRect = bar->GetRect();
    bar->Draw(dc, barRect);
    m_drawnOffsetY = offset;
    return 1;
}

namespace {
// Whether the control or a child of it that shows must be drawn anew (one that never shows
// never is).
bool mustDraw(MControl& control)
{
    if (!control.GetUpdate())
        return true;
    for (MControl* child : control.GetControls())
        if (child && child->IsVisible() && detail::RectsMeet(child->GetRect(), control.GetRect()) && mustDraw(*child))
            return true;
    return false;
}

void join(CRect& dirty, const CRect& rect)
{
    if (rect.IsRectEmpty())
        return;
    if (dirty.IsRectEmpty())
        dirty = rect;
    else
        dirty.UnionRect(&dirty, &rect);
}
} // namespace

void CHomeFuncCtrl::refreshLooks()
{
    std::vector<LaidChild> shown;
    {
        ScopedLock lock(m_controlsLock);
        for (MControl* control : *m_controls)
            if (control && control->IsVisible() && control != GetScrollVertical() && control != GetScrollHorizontal())
                shown.push_back(LaidChild { control, control->GetRect() });
    }
    const auto laidAlike = [](const std::vector<LaidChild>& in, const LaidChild& child) {
        return std::any_of(in.begin(), in.end(), [&](const LaidChild& other) {
            return other.control == child.control && other.rect == child.rect;
        });
    };
    CRect dirty;
    for (const LaidChild& old : *m_laid)
        if (!laidAlike(shown, old))
            join(dirty, old.rect);
    for (const LaidChild& child : shown)
        if (!laidAlike(*m_laid, child) || mustDraw(*child.control))
            join(dirty, child.rect);
    *m_laid = shown;
    if (dirty.IsRectEmpty())
        return;
    const CRect whole(0, 0, m_looks->width(), m_looks->height());
    m_looks->Clear(dirty);
    for (const LaidChild& child : shown) {
        CRect part;
        if (!part.IntersectRect(&child.rect, &dirty))
            continue;
        // A kept child copies its look over nothing; one to draw anew draws it over nothing.
        m_childLook->Clear(child.rect);
        HDC look = m_childLook->dc();
        child.control->Draw(look, whole);
        m_looks->BlendFrom(*m_childLook, part);
    }
    m_looks->Seal(dirty);
}

void CHomeFuncCtrl::drawOverLooks(HDC& dc, int offset)
{
    const int contentWidth = m_rect.right - m_barInset;
    const int contentHeight = m_virtualHeight + m_rect.top;
    if (m_looks->Ensure(contentWidth, contentHeight)) {
        m_childLook->Ensure(contentWidth, contentHeight);
        m_laid->clear();
    }
    if (!m_looks->dc() || !m_childLook->dc())
        return;
    refreshLooks();
    m_looks->BlendOnto(dc, m_rect.left, m_rect.top,
                       CRect(m_rect.left, m_rect.top + offset, contentWidth, m_rect.bottom + offset));
}

void CHomeFuncCtrl::drawOverGround(HDC& dc, CRect paintRect, int offset)
{
    const int shownWidth = m_rect.Width() - m_barInset;
    const int contentWidth = m_rect.right - m_barInset;
    const int contentHeight = m_virtualHeight + m_rect.top;
    if (m_content.width() != contentWidth || m_content.height() != contentHeight) {
        m_content.Create(dc, contentWidth, contentHeight);
        m_backdropChanged = true;
    }
    HDC content = m_content.dc();
    // Each child keeps a picture of what lay under it. Over a backdrop of one colour the
    // whole content is that colour and stays right; over any other, what lies under a child
    // changes as the content moves.
    const bool childrenStale = m_backdropChanged || (m_plainBackdrop < 0 && offset != m_drawnOffsetY);
    if (m_backdropChanged && m_plainBackdrop >= 0)
        MRender::FillSolidRect(content, 0, 0, contentWidth, contentHeight, static_cast<COLORREF>(m_plainBackdrop));
    m_backdropChanged = false;
    MRender::BitBlt(content, m_rect.left, m_rect.top + offset, shownWidth, m_rect.Height(), dc, m_rect.left,
                    m_rect.top);
    paintRect.OffsetRect(0, offset);
    std::vector<MControl*> children;
    {
        ScopedLock lock(m_controlsLock);
        children = *m_controls;
    }
    for (MControl* control : children) {
        if (!control || !control->IsVisible() || control == GetScrollVertical() || control == GetScrollHorizontal())
            continue;
        if (childrenStale)
            control->SetUpdate(0, 0);
        control->Draw(content, paintRect);
    }
    MRender::BitBlt(dc, m_rect.left, m_rect.top, shownWidth, m_rect.Height(), content, m_rect.left,
                    m_rect.top + offset);
}

// ---- language

CString CHomeFuncCtrl::GetLan(int key, int language)
{
    CString keyText;
    keyText.Format(L"%d", key);
    CString file;
    file.Format(L"%slanguage\\%d.lan", static_cast<const wchar_t*>(GetExePath()), language);
    wchar_t value[kLanguageBuffer] = {};
    ::GetPrivateProfileStringW(L"LAN", keyText, L"", value, kLanguageBuffer, file);
    return CString(value);
}

void CHomeFuncCtrl::ResetLanguage(int language)
{
    if (!*m_devicesArrow)
        return;
    for (const LanguageTitle& title : kLanguageTitles)
        if (auto* control = dynamic_cast<MControlFont*>(child(title.id)))
            control->SetTitle(GetLan(title.key, language));
}

// ---- pointer

int CHomeFuncCtrl::OnControlMouseMove(UINT, CPoint) { return 1; }
int CHomeFuncCtrl::OnControlLButtonDown(UINT, CPoint) { return 1; }
int CHomeFuncCtrl::OnControlLButtonUp(UINT, CPoint) { return 1; }

} // namespace KOVA
