// The sliders page: MSlider and MSlider2, spin boxes, the progress bar in its three looks
// (colours, an image strip, background and foreground images) and as a running marquee, the
// progress ring at three values, and labels on their own colour, wrapped and centred.
#include "SamplePage.h"

#include "HostTools.h"

using namespace KOVA;

namespace {

constexpr UINT kFirstId = 6000;
// The marquee steps every third tick of the window's fast timer.
constexpr UINT kFastTimerPeriod = 10;

const Gdiplus::Color kPurple(255, 189, 48, 255);
const Gdiplus::Color kCaption(255, 200, 200, 210);

// ---- the page's own skin, drawn once into the skin folder

void writeSliderSkin()
{
    const Gdiplus::Color boxes[4] { { 255, 230, 230, 236 }, { 255, 245, 245, 250 }, { 255, 215, 205, 240 }, { 255, 120, 120, 124 } };
    HostTools::WriteSkinStrip(L"sample_spin_box.png", 24, 24, 4, [&](Gdiplus::Graphics& g, int frame, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush fill(boxes[frame]);
        g.FillRectangle(&fill, r);
        const Gdiplus::Pen border(frame == 2 ? kPurple : Gdiplus::Color(255, 90, 90, 100), 2.0f);
        g.DrawRectangle(&border, r.X + 1, r.Y + 1, r.Width - 2, r.Height - 2);
    });
    HostTools::WriteSkinStrip(L"sample_progress_strip.png", 24, 14, 2, [](Gdiplus::Graphics& g, int frame, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush fill(frame ? Gdiplus::Color(255, 60, 200, 120) : Gdiplus::Color(255, 60, 60, 66));
        g.FillRectangle(&fill, r.X, r.Y + 3, r.Width, r.Height - 6);
    });
    HostTools::WriteSkinStrip(L"sample_progress_back.png", 40, 20, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush fill(Gdiplus::Color(255, 48, 48, 54));
        g.FillRectangle(&fill, r);
    });
    HostTools::WriteSkinStrip(L"sample_progress_fore.png", 40, 20, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::LinearGradientBrush fill(r, Gdiplus::Color(255, 90, 40, 200), kPurple, Gdiplus::LinearGradientModeVertical);
        g.FillRectangle(&fill, r);
    });
}

// ---- the rows

class Builder {
public:
    Builder(MPanel* page, const CRect& area) : m_page(page), m_left(area.left + 30), m_top(area.top + 20) {}

    template <class T>
    T* add(const wchar_t* className, int x, int y, int width, int height, const wchar_t* title = L"")
    {
        const CRect rect(m_left + x, m_top + y, m_left + x + width, m_top + y + height);
        return dynamic_cast<T*>(m_page->CreateControl(className, m_id++, rect, title, 1, 1));
    }
    MText* caption(int y, const wchar_t* text)
    {
        auto* label = add<MText>(L"MText", 0, y, 140, 30, text);
        if (label) {
            label->SetTextColor(kCaption);
            label->SetAlignment(0);
        }
        return label;
    }

private:
    MPanel* m_page;
    int m_left;
    int m_top;
    UINT m_id { kFirstId };
};

void addSliders(Builder& b)
{
    b.caption(0, L"Sliders");
    if (auto* slider = b.add<MSlider>(L"MSlider", 150, 0, 216, 30))
        slider->SetProgress(40);
    if (auto* percent = b.add<MSlider2>(L"MSlider2", 420, 0, 300, 30))
        percent->SetProgress(65);
}

void addSpinBoxes(Builder& b)
{
    b.caption(60, L"Spin boxes");
    const int values[] { 42, 7, 100 };
    for (int i = 0; i < 3; ++i) {
        auto* spin = b.add<MSpinButton>(L"MSpinButton", 150 + i * 110, 60, 90, 30);
        if (!spin)
            continue;
        spin->SetImage(L"sample_spin_box.png", 4);
        spin->SetCurValue(values[i]);
        if (PaintManager* manager = spin->GetManager(); manager && i == 1)
            manager->SetFocusControl(spin);
        if (i == 2)
            spin->SetEnabled(0);
    }
}

void addBars(Builder& b)
{
    b.caption(120, L"Progress");
    if (auto* colours = b.add<MProgress>(L"MProgress", 150, 120, 260, 24))
        colours->SetProgress(60);
    if (auto* strip = b.add<MProgress>(L"MProgress", 150, 160, 260, 20)) {
        strip->SetImage(L"sample_progress_strip.png", 2);
        strip->SetProgress(35);
    }
    if (auto* images = b.add<MProgress>(L"MProgress", 450, 120, 260, 20)) {
        images->SetBackGroundImage(CString(L"sample_progress_back.png"));
        images->SetForeGroundImage(CString(L"sample_progress_fore.png"));
        images->EnableShowText(1);
        images->SetProgress(70);
    }
    if (auto* marquee = b.add<MProgress>(L"MProgress", 450, 160, 260, 20)) {
        marquee->SetImage(L"sample_progress_strip.png", 2);
        marquee->SetRun(1, 0);
        marquee->AddMTimer();
        if (PaintManager* manager = marquee->GetManager())
            manager->SetMTimer(kFastTimerPeriod);
    }
    const int rings[] { 25, 60, 90 };
    for (int i = 0; i < 3; ++i)
        if (auto* ring = b.add<CircleProgress>(L"CircleProgress", 150 + i * 110, 200, 100, 100))
            ring->SetProgress(rings[i]);
}

void addLabels(Builder& b)
{
    b.caption(320, L"Labels");
    if (auto* back = b.add<MText>(L"MText", 150, 320, 200, 30, L"On a colour of its own")) {
        back->SetAlignment(1);
        back->EnableTextBack(1, Gdiplus::Color(255, 70, 40, 110));
    }
    if (auto* wrapped = b.add<MText>(L"MText", 380, 320, 220, 70,
                                     L"A longer label wraps at its width and centres its lines")) {
        wrapped->EnableMultiLine(1);
        wrapped->EnableVCenter(1);
        wrapped->EnableTextBack(1, Gdiplus::Color(255, 40, 40, 46));
    }
    if (auto* right = b.add<MText>(L"MText", 630, 320, 160, 30, L"Bold, right")) {
        right->SetFontStyle(Gdiplus::FontStyleBold);
        right->SetAlignment(2);
        right->SetTextColor(kPurple);
    }
}

void build(MPanel* page, const CRect& area)
{
    writeSliderSkin();
    Builder builder(page, area);
    addSliders(builder);
    addSpinBoxes(builder);
    addBars(builder);
    addLabels(builder);
}

} // namespace

extern const SamplePage kSlidersPage { L"sliders", build, nullptr, nullptr };
