// The lists and colour page: a combo box with its drop-down open, a list box (rename a row
// with a double click) and its skin-strip twin, the colour combo face, the full colour picker
// and the preset row, the colour wheel, the colour bar and the theme colour row.
#include "SamplePage.h"

#include <string>

#include "HostTools.h"
#include "controls/input/CComboBoxWnd.h"

using namespace KOVA;

namespace {

constexpr UINT kFirstId = 7000;
constexpr UINT kComboId = 6999;
const Gdiplus::Color kPurple(255, 189, 48, 255);

// ---- the page's own skin, drawn once into the skin folder

void writeListsSkin()
{
    const Gdiplus::Color faces[4] { { 255, 70, 70, 78 }, { 255, 90, 90, 100 }, kPurple, { 255, 50, 50, 54 } };
    HostTools::WriteSkinStrip(L"sample_combo.png", 60, 30, 4, [&](Gdiplus::Graphics& g, int frame, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush fill(faces[frame]);
        g.FillRectangle(&fill, r);
        const Gdiplus::SolidBrush arrow(Gdiplus::Color(255, 230, 230, 236));
        const Gdiplus::Point tip[3] { { r.GetRight() - 16, r.Y + 18 }, { r.GetRight() - 22, r.Y + 12 }, { r.GetRight() - 10, r.Y + 12 } };
        g.FillPolygon(&arrow, tip, 3);
    });
    // The colour field's saturation pointer: four frames of a small left-pointing triangle.
    HostTools::WriteSkinStrip(L"img_palette_thumb.png", 10, 10, 4, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush fill(Gdiplus::Color(255, 240, 240, 240));
        const Gdiplus::Point tip[3] { { r.X + 1, r.Y + 5 }, { r.GetRight() - 1, r.Y + 1 }, { r.GetRight() - 1, r.GetBottom() - 1 } };
        g.FillPolygon(&fill, tip, 3);
    });
    HostTools::WriteSkinStrip(L"sample_list_rows.png", 16, 16, 2, [](Gdiplus::Graphics& g, int frame, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush fill(frame ? kPurple : Gdiplus::Color(255, 140, 140, 150));
        g.FillEllipse(&fill, r.X + 2, r.Y + 2, r.Width - 4, r.Height - 4);
    });
    // A colour wheel: hue around, white toward the centre.
    HostTools::WriteSkinStrip(L"sample_wheel.png", 200, 200, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        for (int degree = 0; degree < 360; degree += 2) {
            const COLORREF colour = HSLToRGB(static_cast<float>(degree) / 360.0f, 1.0f, 0.5f);
            const Gdiplus::SolidBrush fill(Gdiplus::Color(255, GetRValue(colour), GetGValue(colour), GetBValue(colour)));
            g.FillPie(&fill, r, static_cast<Gdiplus::REAL>(degree), 3.0f);
        }
    });
}

// The combo opens its drop-down shortly after the page first shows it, as the user's release
// would; the page closes it again once its picture is taken.
class OpeningCombo : public MComboBox {
public:
    using MComboBox::MComboBox;
    void DrawControl(HDC& dc, CRect paintRect) override
    {
        MComboBox::DrawControl(dc, paintRect);
        if (!m_opened && m_manager && IsParentVisible()) {
            m_opened = true;
            m_manager->SetTimer(this, kOpenTimer, 100);
        }
    }
    int OnControlTimer() override
    {
        m_manager->KillTimer(this, kOpenTimer);
        OnMessage(9, 2, 0, 0);
        return 0;
    }

private:
    static constexpr UINT kOpenTimer = 1;
    bool m_opened { false };
};

class Builder {
public:
    Builder(MPanel* page, const CRect& area) : m_page(page), m_left(area.left + 20), m_top(area.top + 20) {}

    CRect place(int x, int y, int width, int height) const
    {
        return CRect(m_left + x, m_top + y, m_left + x + width, m_top + y + height);
    }
    template <class T>
    T* add(const wchar_t* className, int x, int y, int width, int height)
    {
        return dynamic_cast<T*>(m_page->CreateControl(className, m_id++, place(x, y, width, height), L"", 1, 1));
    }
    // A control no factory names, handed to the page as its own.
    template <class T>
    T* adopt(T* control)
    {
        control->SetManager(m_page->GetManager());
        m_page->GetControls().push_back(control);
        return control;
    }
    UINT nextId() { return m_id++; }
    MPanel* panel() const { return m_page; }

private:
    MPanel* m_page;
    int m_left;
    int m_top;
    UINT m_id { kFirstId };
};

void buildLists(Builder& page)
{
    auto* list = page.add<MListBox>(L"MListBox", 0, 0, 200, 150);
    if (list) {
        for (int i = 1; i <= 8; ++i)
            list->AddString((L"List row " + std::to_wstring(i)).c_str(), -1);
        list->EnableShowEdit(1);
        list->SetCurSel(1);
    }
    auto* strip = page.add<DListBox>(L"DListBox", 0, 170, 200, 120);
    if (strip) {
        strip->SetImage(L"sample_list_rows.png", 2);
        for (const wchar_t* name : { L"Profile A", L"Profile B", L"Profile C", L"Profile D" })
            strip->AddString(name, -1);
        strip->SetCurSel(2);
    }
}

void buildPickers(Builder& page)
{
    auto* face = page.adopt(new CColorCombo(page.panel(), page.nextId(), page.place(460, 0, 60, 30), 1, 1));
    face->SetAreaColor(Gdiplus::Color(255, 40, 200, 120));
    page.add<CColorPalette>(L"CColorPalette", 230, 100, 330, 190);
    if (auto* row = page.add<CColorSelect>(L"CColorSelect", 230, 300, 180, 30))
        row->SetColorIndex(2);
    if (auto* wheel = page.add<CirclePalette>(L"CirclePalette", 580, 0, 200, 200))
        wheel->SetImage(L"sample_wheel.png", 1);
    if (auto* bar = page.add<MPaletteBar>(L"MPaletteBar", 580, 215, 200, 20))
        bar->SetSelectColor(0x30BDFF);
    if (auto* theme = page.add<ThemeColor>(L"ThemeColor", 580, 250, 220, 70)) {
        for (Gdiplus::ARGB colour : { 0xFFBD30FF, 0xFF30A0FF, 0xFF30D080, 0xFFFFB030 })
            theme->AddItem(Gdiplus::Color(colour));
        theme->SetSelectItem(0);
    }
}

void build(MPanel* page, const CRect& area)
{
    writeListsSkin();
    Builder builder(page, area);
    auto* combo = builder.adopt(new OpeningCombo(page, kComboId, builder.place(230, 0, 200, 30), 1, 1));
    buildLists(builder);
    buildPickers(builder);
    combo->SetImage(L"sample_combo.png", 4);
    for (int i = 1; i <= 8; ++i)
        combo->AddItem((L"Choice " + std::to_wstring(i)).c_str(), i, nullptr, Gdiplus::Color(0xFF000000));
    combo->SetCurSel(0);
}

void closeDropDown(MPanel* page, const std::wstring&)
{
    auto* combo = dynamic_cast<MComboBox*>(page->GetControl(kComboId));
    if (combo && combo->GetDropDown())
        combo->GetDropDown()->CloseWindow();
}

} // namespace

extern const SamplePage kListsPage { L"lists", build, closeDropDown, nullptr };
