// GUI thread only; no locks of their own. Children report through MPanel::OnBaseMessage into
// OnMessage; the panels pass what they do not absorb to their parent unchanged.
#include "controls/input/CColorPalette.h"

#include <cstdio>

#include "controls/basic/CColorButton.h"
#include "controls/basic/LookPainting.h"
#include "controls/basic/MSpinButton.h"
#include "controls/basic/MText.h"
#include "controls/input/MEdit.h"
#include "controls/input/MPalette.h"

namespace KOVA {

namespace {
constexpr UINT kPressed = 1;
constexpr UINT kTextChanged = 0x1A;
constexpr UINT kColourChanged = 0x1B;
constexpr UINT kSpinChanged = 0x1C;
constexpr UINT kFirstPreset = 631;
constexpr UINT kPaletteId = 620;
constexpr UINT kSwatchId = 622;
constexpr UINT kFirstLabel = 650;
constexpr UINT kFirstSpin = 654;
constexpr UINT kHexId = 657;
constexpr int kPalettePresets = 8;
constexpr int kSelectPresets = 7;

constexpr COLORREF kPaletteColours[kPalettePresets] { 0x1B55,   0x23A2F9, 0x31FEFE, 0x29FF4C,
                                                      0xFEFF50, 0xFC1517, 0x7F007C, 0xFC00F7 };
constexpr COLORREF kSelectColours[kSelectPresets] { 0xFF, 0xFF00, 0xFF0000, 0xFFFF, 0xFF00FF, 0xFFFF00, 0xFFFFFF };

CString hexText(unsigned long colour)
{
    wchar_t text[8] {};
    std::swprintf(text, 8, L"%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

// A pair from which no hexadecimal digit can be read gives 0.
int hexPair(const CString& text, int at)
{
    const wchar_t pair[3] { text[at], text[at + 1], 0 };
    unsigned int value = 0;
    return std::swscanf(pair, L"%x", &value) == 1 ? static_cast<int>(value & 0xFF) : 0;
}

CRect presetRect(int i, const CRect& rect)
{
    return CRect(rect.left + 25 * i, rect.top + 5, rect.left + 25 * i + 20, rect.top + 25);
}
} // namespace

// ---- shared

ColorPanel::ColorPanel(MObject* parent, UINT id, CRect rect, int visible) : MPanel(parent, id, rect, visible) {}
ColorPanel::ColorPanel(const ColorPanel& other) = default;
ColorPanel& ColorPanel::operator=(const ColorPanel& other) = default;

MControl* ColorPanel::AddChild(const wchar_t* className, UINT id, bool followsEnabled, bool area, const wchar_t* title)
{
    const CRect place = ChildRect(id, m_rect);
    MControl* child = area ? CreateArea(className, id, place, title, 1, 1) : CreateControl(className, id, place, title, 1, 1);
    if (child)
        m_children->push_back({ child, followsEnabled });
    return child;
}

CColorButton* ColorPanel::Swatch(UINT id) const
{
    for (const Child& child : *m_children)
        if (child.control->GetControlID() == id)
            return dynamic_cast<CColorButton*>(child.control);
    return nullptr;
}

CColorButton* ColorPanel::FirstChecked(UINT first, UINT last) const
{
    for (UINT id = first; id <= last; ++id)
        if (CColorButton* swatch = Swatch(id); swatch && swatch->GetCheck())
            return swatch;
    return nullptr;
}

LONG ColorPanel::PassOn(UINT id, UINT code, UINT wParam, LONG lParam)
{
    return m_parent ? m_parent->OnBaseMessage(id, code, wParam, lParam) : 0;
}

void ColorPanel::SetControlRect(CRect rect)
{
    m_rect = rect;
    for (const Child& child : *m_children) {
        MControl& control = *child.control;
        const CRect place = ChildRect(control.GetControlID(), rect);
        BeforePlacing(control, place);
        const CRect before = control.GetRect();
        CRect dirty;
        dirty.UnionRect(&place, &before);
        control.SetControlRect(place);
        control.UpdateControl(dirty, 1, 0);
    }
    UpdateControl(1, 0);
}

void ColorPanel::SetControlEnabled(int enabled)
{
    m_enabled = enabled;
    for (const Child& child : *m_children)
        if (child.followsEnabled && child.control->IsEnabled() != enabled) {
            child.control->SetControlEnabled(enabled);
            child.control->UpdateControl(1, 0);
        }
}

int ColorPanel::OnControlMouseMove(UINT, CPoint) { return m_enabled ? 1 : 0; }
int ColorPanel::OnControlLButtonDown(UINT, CPoint) { return m_enabled ? 1 : 0; }
int ColorPanel::OnControlLButtonUp(UINT, CPoint) { return m_enabled ? 1 : 0; }
int ColorPanel::OnControlScroll(int, UINT, CPoint) { return 1; }

void ColorPanel::DrawControl(HDC& dc, CRect)
{
    BeginCachedLooks(*this, m_memPicture, dc, 1);
    ShowCachedLook(*this, m_memPicture, dc, 0);
}

// ---- the full picker

CColorPalette::CColorPalette(MObject* parent, UINT id, CRect rect, int visible) : ColorPanel(parent, id, rect, visible) {}

CColorPalette::CColorPalette(const CColorPalette& other) : ColorPanel(other) {}

CColorPalette& CColorPalette::operator=(const CColorPalette& other)
{
    ColorPanel::operator=(other);
    return *this;
}

const wchar_t* CColorPalette::GetClassNameW() const
{
    return L"CColorPalette";
}

CRect CColorPalette::ChildRect(UINT id, const CRect& r) const
{
    if (id >= kFirstPreset && id < kFirstPreset + kPalettePresets)
        return presetRect(static_cast<int>(id - kFirstPreset), r);
    if (id == kPaletteId)
        return CRect(r.left, r.top + 27, r.left + 233, r.bottom - 4);
    if (id == kSwatchId)
        return CRect(r.left + 235, r.top + 5, r.left + 320, r.top + 57);
    if (id >= kFirstLabel && id < kFirstLabel + 4) {
        const int row = static_cast<int>(id - kFirstLabel);
        return CRect(r.left + 235, r.top + 62 + 28 * row, r.left + 255, r.top + 86 + 28 * row);
    }
    if (id >= kFirstSpin && id < kFirstSpin + 3) {
        const int row = static_cast<int>(id - kFirstSpin);
        return CRect(r.left + 260, r.top + 62 + 28 * row, r.left + 320, r.top + 86 + 28 * row);
    }
    return CRect(r.left + 260, r.top + 146, r.left + 320, r.top + 170);
}

void CColorPalette::BeforePlacing(MControl& child, const CRect& place)
{
    if (&child != static_cast<MControl*>(m_palette))
        return;
    m_palette->SetPalletHeight(place.Height() - 2);
    m_palette->UpdateControl(m_palette->GetRect(), 1, 0);
}

void CColorPalette::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    if (m_palette)
        return;
    for (int i = 0; i < kPalettePresets; ++i)
        if (auto* preset = dynamic_cast<CColorButton*>(AddChild(L"CColorButton", kFirstPreset + i, true))) {
            preset->SetColor(kPaletteColours[i]);
            preset->SetGroupName(L"clr_palette_group");
        }
    m_palette = dynamic_cast<MPalette*>(AddChild(L"MPalette", kPaletteId, true));
    if (m_palette) {
        const CRect place = m_palette->GetRect();
        m_palette->SetPalletHeight(place.Height() - 2);
        m_palette->SetControlRect(place);
        m_palette->SetThumbImage(L"img_palette_thumb.png");
    }
    m_swatch = dynamic_cast<CColorButton*>(AddChild(L"CColorButton", kSwatchId, true));
    if (m_swatch) {
        m_swatch->SetColor(0xE1FF);
        m_swatch->SetGroupName(L"clr_sel_group");
        m_swatch->SetControlCheck(1);
    }
    const wchar_t* titles[4] { L"R", L"G", L"B", L"#" };
    for (int k = 0; k < 4; ++k)
        if ((m_labels[k] = dynamic_cast<MText*>(AddChild(L"MText", kFirstLabel + k, false, true, titles[k])))) {
            m_labels[k]->SetTextColor(Gdiplus::Color(0xFE050505));
            m_labels[k]->SetAlignment(2);
        }
    for (int k = 0; k < 3; ++k)
        if ((m_spins[k] = dynamic_cast<MSpinButton*>(AddChild(L"MSpinButton", kFirstSpin + k, true)))) {
            m_spins[k]->SetRange(0, 255);
            m_spins[k]->SetCurValue(255);
        }
    m_hex = dynamic_cast<MEdit*>(AddChild(L"MEdit", kHexId, true));
    if (m_hex) {
        m_hex->SetFontWidth(12);
        m_hex->SetEditBKColor(0xDADADA);
        m_hex->SetLimitText(6);
        m_hex->ClearGDIFont();
        m_hex->SetTitle(hexText(GetSelectColor()));
    }
}

unsigned long CColorPalette::GetSelectColor() const
{
    return m_palette ? m_palette->GetSelectColor() : 0;
}

void CColorPalette::SetSelectColor(unsigned long colour)
{
    if (m_palette)
        m_palette->SetSelectColor(colour);
}

int CColorPalette::SetThumbImage(const wchar_t* name)
{
    return m_palette ? m_palette->SetThumbImage(name) : 0;
}

int CColorPalette::SetImage(const wchar_t* file, int count)
{
    for (MSpinButton* spin : m_spins)
        if (spin)
            spin->SetImage(file, count);
    if (m_hex)
        m_hex->SetImage(file, count);
    return 1;
}

void CColorPalette::SetTextColor(Gdiplus::Color colour)
{
    for (MText* label : m_labels)
        if (label)
            label->SetTextColor(colour);
    for (MSpinButton* spin : m_spins)
        if (spin)
            spin->SetTextColor(colour);
    if (m_hex)
        m_hex->SetTextColor(colour);
}

void CColorPalette::UpdateControlEx(int flag)
{
    UpdateControl(flag, 0);
    for (MControl* child : GetControls())
        child->UpdateControl(flag, 0);
    for (MControl* child : GetAreas())
        child->UpdateControl(flag, 0);
}

void CColorPalette::setChannels(unsigned long colour)
{
    const int channels[3] { GetRValue(colour), GetGValue(colour), GetBValue(colour) };
    for (int k = 0; k < 3; ++k)
        if (m_spins[k])
            m_spins[k]->SetCurValue(channels[k]);
}

void CColorPalette::SetSelItemColor(unsigned long colour)
{
    if (m_swatch && m_swatch->GetCheck() && m_swatch->GetColor() != colour)
        m_swatch->SetColor(colour);
    SendMessageW(kColourChanged, 0, static_cast<LONG>(colour));
}

// The readouts follow the colour (the spin boxes unless they are its source, the field when
// asked); then the swatch, and the parent hears the change.
void CColorPalette::follow(unsigned long colour, bool field)
{
    if (field && m_palette)
        m_palette->SetSelectColor(colour);
    if (m_hex)
        m_hex->SetTitle(hexText(colour));
    SetSelItemColor(colour);
}

LONG CColorPalette::OnMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    if (id == kPaletteId && code == kColourChanged) {
        const unsigned long colour = GetSelectColor();
        setChannels(colour);
        follow(colour, false);
        return 1;
    }
    if (code == kSpinChanged && id >= kFirstSpin && id < kFirstSpin + 3 && m_spins[0] && m_spins[1] && m_spins[2]) {
        follow(RGB(m_spins[0]->GetCurValue() & 0xFF, m_spins[1]->GetCurValue() & 0xFF, m_spins[2]->GetCurValue() & 0xFF),
               true);
    } else if (id >= kFirstPreset && id < kFirstPreset + kPalettePresets && code == kPressed) {
        const CColorButton* preset = FirstChecked(kFirstPreset, kFirstPreset + kPalettePresets - 1);
        if (preset && preset->GetColor() != 0) {
            setChannels(preset->GetColor());
            follow(preset->GetColor(), true);
        }
    } else if (id == kSwatchId && code == kPressed && m_swatch) {
        setChannels(m_swatch->GetColor());
        follow(m_swatch->GetColor(), true);
    } else if (id == kHexId && code == kTextChanged && m_hex) {
        const CString text = m_hex->GetEditText();
        if (text.GetLength() != 6)
            return 0;
        const unsigned long colour = RGB(hexPair(text, 0), hexPair(text, 2), hexPair(text, 4));
        setChannels(colour);
        // The typed text stays as typed.
        if (m_palette)
            m_palette->SetSelectColor(colour);
        SetSelItemColor(colour);
    }
    return PassOn(id, code, wParam, lParam);
}

// ---- the preset row

CColorSelect::CColorSelect(MObject* parent, UINT id, CRect rect, int visible) : ColorPanel(parent, id, rect, visible) {}

const wchar_t* CColorSelect::GetClassNameW() const
{
    return L"CColorSelect";
}

CRect CColorSelect::ChildRect(UINT id, const CRect& rect) const
{
    return presetRect(static_cast<int>(id - kFirstPreset), rect);
}

void CColorSelect::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    if (Swatch(kFirstPreset))
        return;
    for (int i = 0; i < kSelectPresets; ++i)
        if (auto* preset = dynamic_cast<CColorButton*>(AddChild(L"CColorButton", kFirstPreset + i, true))) {
            preset->SetColor(kSelectColours[i]);
            preset->SetGroupName(L"clr_palette_group");
            preset->SetVisibleBorder(i == kSelectPresets - 1);
        }
}

void CColorSelect::SetColorIndex(int index)
{
    if (index >= 0 && index < kSelectPresets) {
        if (CColorButton* preset = Swatch(kFirstPreset + index))
            preset->SetCheck(1);
    } else if (index == -1) {
        for (int i = 0; i < kSelectPresets; ++i)
            if (CColorButton* preset = Swatch(kFirstPreset + i))
                preset->SetCheck(0);
    }
}

unsigned long CColorSelect::GetSelectColor() const
{
    const CColorButton* preset = FirstChecked(kFirstPreset, kFirstPreset + kSelectPresets - 1);
    return preset ? preset->GetColor() : 0;
}

void CColorSelect::SetSelectColor(unsigned long colour)
{
    for (int i = 0; i < kSelectPresets; ++i)
        if (kSelectColours[i] == colour) {
            SetColorIndex(i);
            return;
        }
    SetColorIndex(-1);
}

LONG CColorSelect::OnMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    if (id >= kFirstPreset && id <= kFirstPreset + 7 && code == kPressed) {
        const CColorButton* preset = FirstChecked(kFirstPreset, kFirstPreset + 7);
        if (preset && preset->GetColor() != 0)
            SendMessageW(kColourChanged, preset->GetControlID() - kFirstPreset, static_cast<LONG>(preset->GetColor()));
    }
    return PassOn(id, code, wParam, lParam);
}

} // namespace KOVA
