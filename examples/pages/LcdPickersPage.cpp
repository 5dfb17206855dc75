// The LCD pickers page: the clock-face picker with its captions and bar, and the screen-type
// picker with one thumbnail per screen, over thumbnails the host draws into its skin folder.
#include "SamplePage.h"

#include "HostTools.h"

using namespace KOVA;

namespace {

constexpr UINT kFirstId = 7000;
constexpr int kThumb = 160;
const Gdiplus::Color kPurple(255, 189, 48, 255);
const wchar_t* const kFaceNames[] { L"Classic", L"Minimal", L"Sport", L"Night", L"Ocean" };
const Gdiplus::Color kFaceColours[] { { 255, 230, 230, 235 }, { 255, 120, 200, 255 }, { 255, 255, 170, 60 },
                                      { 255, 110, 110, 130 }, { 255, 60, 200, 170 } };

// A clock face: a dial ring in the face's colour, twelve marks and two hands.
void writeFace(int index)
{
    const CString name = CString(L"sample_clock_face") + CString(std::to_wstring(index).c_str()) + L".png";
    HostTools::WriteSkinStrip(name, kThumb, kThumb, 1, [&](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush dial(Gdiplus::Color(255, 24, 24, 30));
        g.FillEllipse(&dial, r);
        const Gdiplus::Pen ring(kFaceColours[index], 6.0f);
        g.DrawEllipse(&ring, r.X + 6, r.Y + 6, r.Width - 12, r.Height - 12);
        const Gdiplus::PointF centre(r.X + r.Width / 2.0f, r.Y + r.Height / 2.0f);
        g.TranslateTransform(centre.X, centre.Y);
        const Gdiplus::Pen mark(kFaceColours[index], 3.0f);
        for (int hour = 0; hour < 12; ++hour) {
            g.DrawLine(&mark, 0.0f, -62.0f, 0.0f, -52.0f);
            g.RotateTransform(30.0f);
        }
        const Gdiplus::Pen hand(Gdiplus::Color(255, 240, 240, 240), 4.0f);
        g.RotateTransform(40.0f * index);
        g.DrawLine(&hand, 0.0f, 0.0f, 0.0f, -45.0f);
        g.RotateTransform(100.0f);
        g.DrawLine(&hand, 0.0f, 0.0f, 0.0f, -30.0f);
        g.ResetTransform();
    });
}

// A screen thumbnail: the device's panel in the shape of its screen with a gradient on it.
void writeScreen(const wchar_t* name, bool round, int height)
{
    HostTools::WriteSkinStrip(name, kThumb, height, 1, [&](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::LinearGradientBrush glow(r, Gdiplus::Color(255, 40, 90, 200), kPurple,
                                                Gdiplus::LinearGradientModeForwardDiagonal);
        if (round)
            g.FillEllipse(&glow, r);
        else
            g.FillRectangle(&glow, r);
    });
}

void writeSkin()
{
    for (int i = 0; i < static_cast<int>(std::size(kFaceNames)); ++i)
        writeFace(i);
    writeScreen(L"sample_screen_round.png", true, kThumb);
    writeScreen(L"sample_screen_square.png", false, kThumb);
    writeScreen(L"sample_screen_wide.png", false, kThumb * 3 / 4);
    // The plate behind the hovered and the selected face.
    HostTools::WriteSkinStrip(L"sample_clock_plate.png", 40, 40, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush plate(Gdiplus::Color(255, 60, 36, 84));
        g.FillRectangle(&plate, r);
    });
}

void build(MPanel* page, const CRect& area)
{
    writeSkin();
    UINT id = kFirstId;
    const int left = area.left + 20;
    const int top = area.top + 16;
    auto* faces = static_cast<ClockTypeCtrl*>(page->CreateControl(L"ClockTypeCtrl", id++,
                                                                  CRect(left, top, left + 300, top + 420), L"", 1, 1));
    faces->SetImage(L"sample_clock_plate.png", 1);
    faces->SetTextColor(Gdiplus::Color(255, 220, 220, 225));
    faces->SetControlRect(CRect(left, top, left + 300, top + 420));
    for (int i = 0; i < static_cast<int>(std::size(kFaceNames)); ++i)
        faces->AddItem(kFaceNames[i], CString(L"sample_clock_face") + CString(std::to_wstring(i).c_str()) + L".png", i);
    faces->SetSelectItem(1);

    const int right = left + 340;
    auto* screens = static_cast<LEDTypeCtrl*>(page->CreateControl(L"LEDTypeCtrl", id++,
                                                                  CRect(right, top, right + 400, top + 300), L"", 1, 1));
    screens->AddItem(L"sample_screen_round.png", LEDScreenCircle);
    screens->AddItem(L"sample_screen_wide.png", LEDScreenWide);
    screens->AddItem(L"sample_screen_square.png", LEDScreenSquare);
    screens->SetLEDScreenType(LEDScreenSquare);
    screens->SetSelectItem(2);
}

} // namespace

extern const SamplePage kLcdPickersPage { L"lcd_pickers", build, nullptr, nullptr };
