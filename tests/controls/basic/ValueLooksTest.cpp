#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ButtonKinds.h"
#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const CRect kPlace(10, 10, 226, 50);

// One class dressed to show what it draws, a change that makes it render again, and a copy.
struct Kind {
    const char* name;
    std::function<MControlFont*(MObject*)> make;
    std::function<void(MControlFont&, int)> change;
    std::function<MControlFont*(MControlFont&)> copy;
};

template <class T>
std::function<MControlFont*(MControlFont&)> copier()
{
    return [](MControlFont& original) { return new T(dynamic_cast<T&>(original)); };
}

void dressBar(MProgress& bar, const wchar_t* look)
{
    bar.SetTitle(L"T");
    bar.EnableShowText(1);
    if (CString(look) == L"strip")
        bar.SetImage(L"h1_looks_strip.png", 2);
    else if (CString(look) == L"images") {
        bar.SetBackGroundImage(CString(L"h1_looks_back.png"));
        bar.SetForeGroundImage(CString(L"h1_looks_fore.png"));
    }
}

Kind barKind(const char* name, const wchar_t* look)
{
    return { name, [](MObject* parent) { return new MProgress(parent, 1, kPlace, 1, 1); },
             [look](MControlFont& control, int round) {
                 auto& bar = dynamic_cast<MProgress&>(control);
                 if (round == 0)
                     dressBar(bar, look);
                 bar.SetProgress(round % 100);
             },
             copier<MProgress>() };
}

std::vector<Kind> kinds()
{
    return {
        { "MSlider", [](MObject* parent) { return new MSlider(parent, 1, kPlace, 1, 1); },
          [](MControlFont& c, int round) { dynamic_cast<MSlider&>(c).SetProgress(round % 100); }, copier<MSlider>() },
        { "MSlider2", [](MObject* parent) { return new MSlider2(parent, 1, kPlace, 1, 1); },
          [](MControlFont& c, int round) { dynamic_cast<MSlider2&>(c).SetProgress(round % 100); }, copier<MSlider2>() },
        barKind("MProgress colours", L"colours"),
        barKind("MProgress strip", L"strip"),
        barKind("MProgress images", L"images"),
        { "CircleProgress", [](MObject* parent) { return new CircleProgress(parent, 1, CRect(10, 10, 110, 110), 1, 1); },
          [](MControlFont& c, int round) { dynamic_cast<CircleProgress&>(c).SetProgress(1 + round % 99); },
          copier<CircleProgress>() },
        { "MText", [](MObject* parent) { return new MText(parent, 1, kPlace, L"", 1); },
          [](MControlFont& c, int round) {
              auto& label = dynamic_cast<MText&>(c);
              label.EnableMultiLine(1);
              label.EnableTextBack(round % 2, Gdiplus::Color(0xFF203040));
              label.SetTitleMarkText(round % 2 ? L"odd rounds wrap their title" : L"even", L"", 0);
          },
          copier<MText>() },
    };
}

class ValueLooks : public ::testing::Test {
protected:
    std::unique_ptr<MControlFont> make(const Kind& kind)
    {
        std::unique_ptr<MControlFont> control(kind.make(&parent));
        control->SetManager(&manager);
        kind.change(*control, 0);
        return control;
    }
    static void paint(MControl& control, DibCanvas& canvas)
    {
        canvas.fill(0xFF102030);
        control.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
    }
    static bool samePixels(const DibCanvas& a, const DibCanvas& b)
    {
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                if (a.rgb(x, y) != b.rgb(x, y))
                    return false;
        return true;
    }

    const CString skins { GetSkinPath() };
    ScratchStrip strip { skins, L"h1_looks_strip.png", 20, 14, { 0xFFFF0000, 0xFF00FF00 } };
    ScratchStrip back { skins, L"h1_looks_back.png", 40, 10, { 0xFF505050 } };
    ScratchStrip fore { skins, L"h1_looks_fore.png", 40, 10, { 0xFF00FF00 } };
    PaintManager manager;
    RenderingParent parent;
    DibCanvas canvas { 240, 120 };
};

TEST_F(ValueLooks, AThousandRenderingPaintsKeepTheGdiObjectCount)
{
    for (const Kind& kind : kinds()) {
        SCOPED_TRACE(kind.name);
        auto control = make(kind);
        int round = 0;
        auto paintOnce = [&] {
            kind.change(*control, ++round);
            paint(*control, canvas);
        };
        const int steady = warmGdiObjects(paintOnce);
        if (steady < 0)
            GTEST_SKIP() << "no GDI handle table";
        for (int i = 0; i < 1000; ++i)
            paintOnce();
        EXPECT_EQ(steady, gdiObjectsSettled(steady));
    }
}

// A copy takes values only: it draws what the original drew, and still once the original,
// with its memory picture, is gone.
TEST_F(ValueLooks, ACopyDrawsLikeItsOriginalAndOutlivesIt)
{
    DibCanvas original { 240, 120 };
    DibCanvas copied { 240, 120 };
    for (const Kind& kind : kinds()) {
        SCOPED_TRACE(kind.name);
        auto control = make(kind);
        kind.change(*control, 37);
        paint(*control, original);
        std::unique_ptr<MControlFont> copy(kind.copy(*control));
        control.reset();
        copy->SetUpdate(0, 0);
        paint(*copy, copied);
        EXPECT_TRUE(samePixels(original, copied));
    }
}

} // namespace
