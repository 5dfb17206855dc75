// GUI thread only. The item lock guards the fans and the modes; it is never held while the
// parent is asked to repaint or notified, nor while the drop-down window is shown.
#include "devices/cooling/FanDeviceBox.h"

#include <algorithm>

#include "controls/basic/LookPainting.h"
#include "controls/input/CComboBoxList.h"
#include "controls/input/CComboBoxWnd.h"
#include "framework/MRender.h"
#include "framework/Manager.h"
#include "framework/PaintManager.h"

namespace KOVA {

namespace {
constexpr UINT kOpenId = 9;
constexpr UINT kChoiceCode = 2;
constexpr LONG kFromDropDown = 0x13;
constexpr UINT kClosedCode = 22;
constexpr int kShownModes = 5;
constexpr int kCellsPerLine = 4;
constexpr int kBrokenLines = 2;
constexpr DWORD kPopupStyle = 0x96000000;
constexpr DWORD kToolWindow = 0x80;
const Gdiplus::Color kWhite(0xFFFFFFFF);
const Gdiplus::Color kReading(0xFFBD30FF);
} // namespace

// The drop-down reports to its parent from its window's destruction: it forgets this box
// first, and the window goes once the message being dispatched has returned.
void FanDeviceBox::DropDownDeleter::operator()(CComboBoxWnd2* dropDown) const
{
    dropDown->SetParent(nullptr);
    dropDown->DeleteLater();
}

FanDeviceBox::FanDeviceBox(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : CheckList(parent, id, rect, visible, enabled)
{
    m_fontStyle = Gdiplus::FontStyleBold;
}

FanDeviceBox::~FanDeviceBox() = default;

void FanDeviceBox::AddItem(CString name, CString text, int firstKey, int secondKey, int value)
{
    auto fan = std::make_unique<Fan>();
    fan->text = name;
    fan->text2 = text;
    fan->firstKey = firstKey;
    fan->secondKey = secondKey;
    fan->value = value;
    fan->check = 1;
    AppendItem(std::move(fan));
    UpdateControl(1, 0);
}

void FanDeviceBox::AddMode(CString name, int modeId)
{
    {
        ScopedLock lock(m_itemsLock);
        m_modes->push_back(std::make_unique<Mode>(Mode { name, modeId }));
    }
    UpdateControl(1, 0);
}

void FanDeviceBox::ClearModeList()
{
    {
        ScopedLock lock(m_itemsLock);
        m_modes->clear();
    }
    UpdateControl(1, 0);
}

void FanDeviceBox::SetFanRPMValue(int firstKey, int secondKey, int speed)
{
    {
        ScopedLock lock(m_itemsLock);
        for (auto& item : *m_items) {
            auto& fan = static_cast<Fan&>(*item);
            if (fan.firstKey == firstKey && fan.secondKey == secondKey) {
                fan.speed = speed;
                break;
            }
        }
    }
    UpdateControl(1, 0);
}

void FanDeviceBox::SetCoolModeName(CString name)
{
    m_coolModeName = name;
    UpdateControl(1, 0);
}

// ---- the drop-down

int FanDeviceBox::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (!m_rect.PtInRect(pt) || m_hover < 0)
        return 1;
    m_selected = m_hover;
    {
        ScopedLock lock(m_itemsLock);
        if (const ListItem* fan = ItemAt(m_selected)) {
            m_anchor = m_modeBox;
            m_anchor.OffsetRect(m_rect.left + fan->cell.left, m_rect.top + fan->cell.top);
        }
    }
    OnMessage(kOpenId, kChoiceCode, 0, 0);
    UpdateControl(1, 0);
    return 1;
}

LONG FanDeviceBox::OnMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    if (id == kOpenId && code == kChoiceCode) {
        openDropDown();
    } else if (code == kChoiceCode && lParam == kFromDropDown) {
        UpdateControl(0, 0);
        SendMessageW(kChoiceCode, wParam, 0);
    } else if (code == kClosedCode) {
        UpdateControl(0, 0);
    }
    return 0;
}

void FanDeviceBox::openDropDown()
{
    if (!m_manager)
        return;
    HWND window = m_manager->GetPaintWnd();
    POINT corner { m_anchor.left, m_anchor.bottom + 2 };
    ::ClientToScreen(window, &corner);
    int modes = 0;
    {
        ScopedLock lock(m_itemsLock);
        modes = std::min(static_cast<int>(m_modes->size()), kShownModes);
    }
    const int row = -static_cast<int>(-30.0 * Manager::GetScaleValue());
    const CRect place(corner.x, corner.y, corner.x + m_anchor.Width(), corner.y + modes * row + 12);
    m_dropDown->reset();
    auto* dropDown = new CComboBoxWnd2;
    m_dropDown->reset(dropDown);
    dropDown->SetParent(this);
    dropDown->Create(window, L"ComboWnd", kPopupStyle, kToolWindow, place, nullptr);
    {
        ScopedLock lock(m_itemsLock);
        if (dropDown->GetList()) {
            for (const auto& mode : *m_modes)
                dropDown->AddItem(mode->name, mode->id, L"", Gdiplus::Color(0xFFFFFFFF));
            dropDown->RefreshList();
            dropDown->SetListTextColor(m_textColor);
        }
    }
    dropDown->ShowWindow(SW_SHOW);
    UpdateControl(0, 0);
}

// ---- drawing

void FanDeviceBox::drawFan(Gdiplus::Graphics& graphics, const Fan& fan, const Gdiplus::Font* small,
                           const Gdiplus::Font* large)
{
    const CRect cell(fan.cell);
    const float x = static_cast<float>(cell.left);
    const float y = static_cast<float>(cell.top);
    if (m_image)
        MRender::DrawImagePart(graphics, m_image, cell, 0, 0, m_imageWidth, m_imageHeight);
    const Gdiplus::SolidBrush white(kWhite);
    const Gdiplus::SolidBrush reading(kReading);
    CString speed;
    speed.Format(L"%d", fan.speed);
    DrawTextLine(graphics, fan.text, small, Gdiplus::RectF(x + 15, y + 5, 155, 30), white, m_textRenderingHint,
                 Gdiplus::StringAlignmentNear);
    DrawTextLine(graphics, speed, large, Gdiplus::RectF(x + 5, y + 40, 155, 30), reading, m_textRenderingHint,
                 Gdiplus::StringAlignmentNear);
    DrawTextLine(graphics, m_coolModeName, small, Gdiplus::RectF(x + 5, y + 73, 155, 30), white, m_textRenderingHint);
}

void FanDeviceBox::DrawControl(HDC& dc, CRect)
{
    if (BeginCachedLooks(*this, m_memPicture, dc, 1)) {
        const float scale = Manager::GetScaleValue();
        // Two sizes of the one face: fetch both before the lock; the second fetch replaces the
        // list's cached font, so the small one is made here.
        std::unique_ptr<Gdiplus::Font> small = MakeTextFont(*this, static_cast<float>(static_cast<int>(m_fontSize * scale)));
        const Gdiplus::Font* large = ItemFont(static_cast<int>((m_fontSize + 5) * scale));
        Gdiplus::Graphics graphics(m_memPicture.dc());
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        const int gap = static_cast<int>(10.0 * scale);
        m_modeBox = CRect(15, 78, 155, 98);
        int x = 0;
        int y = 0;
        ScopedLock lock(m_itemsLock);
        for (size_t i = 0; i < m_items->size(); ++i) {
            auto& fan = static_cast<Fan&>(*(*m_items)[i]);
            fan.cell = CRect(x, y, x + m_cellWidth, y + m_cellHeight);
            drawFan(graphics, fan, small.get(), large);
            x += m_cellWidth + gap;
            if (i % kCellsPerLine == kCellsPerLine - 1 && static_cast<int>(i) < kCellsPerLine * kBrokenLines) {
                x = 0;
                y += m_cellHeight + gap;
            }
        }
    }
    ShowCachedLook(*this, m_memPicture, dc, 0);
}

} // namespace KOVA
