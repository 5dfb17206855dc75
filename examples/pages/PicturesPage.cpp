// The pictures page: one picture in each of the six show modes, a photo in a frame that
// reports its clicks, a picture sliding in from the left (a click on the photo frame slides
// it in again) and a looping animated GIF. The host draws the pictures and writes the GIF.
#include "SamplePage.h"

#include <cmath>
#include <memory>

#include "HostTools.h"

using namespace KOVA;

namespace {

constexpr UINT kFirstId = 7000;
constexpr UINT kPhotoFrameId = 7100;
constexpr UINT kSliderId = 7101;
// The slide and the GIF count ticks of the window's fast timer.
constexpr UINT kFastTimerPeriod = 10;
const Gdiplus::Color kCaption(255, 200, 200, 210);
const Gdiplus::Color kPurple(255, 189, 48, 255);

// ---- the page's own pictures, drawn once into the skin folder

// A small landscape: sky, sun and a hill.
void paintLandscape(Gdiplus::Graphics& g, Gdiplus::Rect r)
{
    const Gdiplus::LinearGradientBrush sky(r, Gdiplus::Color(255, 40, 90, 190), Gdiplus::Color(255, 150, 200, 250),
                                           Gdiplus::LinearGradientModeVertical);
    g.FillRectangle(&sky, r);
    const Gdiplus::SolidBrush sun(Gdiplus::Color(255, 255, 210, 60));
    g.FillEllipse(&sun, r.X + r.Width * 3 / 5, r.Y + r.Height / 8, r.Height / 3, r.Height / 3);
    const Gdiplus::SolidBrush hill(Gdiplus::Color(255, 60, 150, 70));
    g.FillEllipse(&hill, r.X - r.Width / 4, r.Y + r.Height / 2, r.Width * 3 / 2, r.Height);
}

void writePictures()
{
    HostTools::WriteSkinStrip(L"sample_landscape.png", 48, 32, 1,
                              [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) { paintLandscape(g, r); });
    HostTools::WriteSkinStrip(L"sample_panel.png", 24, 24, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush fill(Gdiplus::Color(255, 60, 50, 80));
        g.FillRectangle(&fill, r);
        const Gdiplus::Pen edge(kPurple, 3.0f);
        g.DrawRectangle(&edge, r.X + 1, r.Y + 1, r.Width - 3, r.Height - 3);
    });
    // The frame's second strip frame is what shows: an open border.
    HostTools::WriteSkinStrip(L"sample_photo_frame.png", 32, 32, 2, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::Pen edge(Gdiplus::Color(255, 230, 230, 240), 6.0f);
        g.DrawRectangle(&edge, r.X + 3, r.Y + 3, r.Width - 7, r.Height - 7);
    });
}

// GDI+ writes valid multi-frame GIFs only from 8 bpp indexed frames: a dot going round a ring.
void writeSpinnerGif()
{
    constexpr int kSize = 40;
    constexpr int kFrames = 8;
    const CLSID gif = { 0x557cf402, 0x1a04, 0x11d3, { 0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e } };
    ULONG flag = Gdiplus::EncoderValueMultiFrame;
    Gdiplus::EncoderParameters parameters {};
    parameters.Count = 1;
    parameters.Parameter[0] = { Gdiplus::EncoderSaveFlag, 1, Gdiplus::EncoderParameterValueTypeLong, &flag };
    std::unique_ptr<Gdiplus::Bitmap> first;
    for (int frame = 0; frame < kFrames; ++frame) {
        Gdiplus::Bitmap canvas(kSize, kSize, PixelFormat32bppARGB);
        {
            Gdiplus::Graphics g(&canvas);
            g.Clear(Gdiplus::Color(255, 0, 0, 0));
            const Gdiplus::Pen ring(Gdiplus::Color(255, 102, 102, 102), 4.0f);
            g.DrawEllipse(&ring, 8, 8, kSize - 16, kSize - 16);
            const double angle = frame * 2 * 3.14159265 / kFrames;
            const Gdiplus::SolidBrush dot(Gdiplus::Color(255, 255, 0, 255));
            g.FillEllipse(&dot, static_cast<int>(kSize / 2 - 6 + 12 * cos(angle)), static_cast<int>(kSize / 2 - 6 + 12 * sin(angle)), 12, 12);
        }
        std::unique_ptr<Gdiplus::Bitmap> indexed(canvas.Clone(0, 0, kSize, kSize, PixelFormat8bppIndexed));
        if (!first) {
            first = std::move(indexed);
            first->Save(HostTools::SkinFolder() + L"sample_spinner.gif", &gif, &parameters);
            flag = Gdiplus::EncoderValueFrameDimensionPage;
        } else {
            first->SaveAdd(indexed.get(), &parameters);
        }
    }
    flag = Gdiplus::EncoderValueFlush;
    first->SaveAdd(&parameters);
}

// ---- the controls

class Builder {
public:
    Builder(MPanel* page, const CRect& area) : m_page(page), m_left(area.left + 30), m_top(area.top + 20) {}

    template <class T>
    T* add(const wchar_t* className, UINT id, CRect rect, const wchar_t* title = L"")
    {
        rect.OffsetRect(m_left, m_top);
        return dynamic_cast<T*>(m_page->CreateControl(className, id, rect, title, 1, 1));
    }
    void caption(CRect rect, const wchar_t* text)
    {
        if (auto* label = add<MText>(L"MText", m_id++, rect, text)) {
            label->SetTextColor(kCaption);
            label->SetAlignment(DT_CENTER);
        }
    }
    // Each show mode of the landscape, or of the panel for the nine-grids.
    void showModes()
    {
        const wchar_t* names[6] { L"0 natural size", L"1 tiled", L"2 stretched", L"3 nine-grid", L"4 four margins",
                                  L"5 part stretched" };
        for (int mode = 0; mode < 6; ++mode) {
            const CRect place(mode * 170, 0, mode * 170 + 150, 100);
            auto* picture = add<MPicture>(L"MPicture", m_id++, place);
            caption(CRect(place.left, 105, place.right, 130), names[mode]);
            if (!picture)
                continue;
            const bool nineGrid = mode == ShowModeNineGrid || mode == ShowModeNineGridMID;
            picture->SetImage(nineGrid ? L"sample_panel.png" : L"sample_landscape.png", 1);
            picture->SetAlignment(DT_CENTER, DT_VCENTER);
            // The sun's corner of the landscape.
            picture->SetCustomRect(CRect(24, 0, 48, 16));
            if (mode == ShowModeNineGridMID)
                picture->SetShowModeMID(8, 4, 8, 4);
            else
                picture->SetShowMode(static_cast<enumShowMode>(mode), 8);
        }
    }
    void animated()
    {
        if (auto* photo = add<CPhotoFrame>(L"CPhotoFrame", kPhotoFrameId, CRect(0, 170, 200, 300))) {
            photo->SetPhotoFrame(L"sample_landscape.png", 1);
            photo->SetShowMode(ShowModeStretch, 0);
            photo->SetImage(L"sample_photo_frame.png", 2);
        }
        caption(CRect(0, 305, 200, 330), L"Photo frame (click it)");
        if (auto* slider = add<CSliderPicture>(L"CSliderPicture", kSliderId, CRect(240, 170, 540, 300))) {
            slider->SetImage(L"sample_landscape.png", 1);
            slider->SetShowMode(ShowModeStretch, 0);
            slider->SetRun(1, SliderLeftToRight);
            slider->AddMTimer();
        }
        caption(CRect(240, 305, 540, 330), L"Slider picture");
        // The looping GIF has no row in the panels' factory: the page makes it itself.
        if (PaintManager* manager = m_page->GetManager()) {
            auto* gif = dynamic_cast<CGifPicture2*>(manager->CreateControl(2, m_page, L"CGifPicture2", m_id++,
                                                                          CRect(m_left + 580, m_top + 170, m_left + 710, m_top + 300), L"", 1, 1));
            if (gif) {
                m_page->GetControls().push_back(gif);
                gif->SetImage(L"sample_spinner.gif", 1);
                gif->SetRunState(1, 0);
                gif->AddMTimer();
            }
            manager->SetMTimer(kFastTimerPeriod);
        }
        caption(CRect(580, 305, 710, 330), L"Running GIF");
    }

private:
    MPanel* m_page;
    int m_left;
    int m_top;
    UINT m_id { kFirstId };
};

void build(MPanel* page, const CRect& area)
{
    writePictures();
    writeSpinnerGif();
    Builder builder(page, area);
    builder.showModes();
    builder.animated();
}

// A click on the photo frame slides the picture in again.
void notified(MDialog& dialog, UINT id, UINT code)
{
    if (id != kPhotoFrameId || code != 2)
        return;
    if (auto* slider = dynamic_cast<CSliderPicture*>(dialog.GetControl(kSliderId))) {
        slider->SetVisible(1);
        slider->SetRun(1, SliderLeftToRight);
    }
}

} // namespace

extern const SamplePage kPicturesPage { L"pictures", build, nullptr, notified };
