#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "ScratchStrip.h"
#include "ValueControls.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const CRect kPlace(10, 10, 226, 50);

// One class, a change that makes it render again (round 0 dresses it), and a copy.
struct Kind {
    const char* name;
    std::function<MControlFont*(MObject*)> make;
    std::function<void(MControlFont&, int)> change;
    std::function<MControlFont*(MControlFont&)> copy;
};

template <class T, class Change>
Kind kind(const char* name, CRect rect, Change change)
{
    return { name,
             [rect](MObject* parent) -> MControlFont* {
                 if constexpr (std::is_same_v<T, MText>)
                     return new T(parent, 1, rect, L"", 1);
                 else
                     return new T(parent, 1, rect, 1, 1);
             },
             [change](MControlFont& control, int round) { change(dynamic_cast<T&>(control), round); },
             [](MControlFont& control) -> MControlFont* { return new T(dynamic_cast<T&>(control)); } };
}

auto barLook(const wchar_t* strip, const wchar_t* fore)
{
    return [=](MProgress& bar, int round) {
        if (round == 0) {
            bar.EnableShowText(1);
            bar.SetImage(strip, 2);
            bar.SetForeGroundImage(CString(fore));
        }
        bar.SetProgress(round % 100);
    };
}

std::vector<Kind> kinds()
{
    auto value = [](auto& control, int round) { control.SetProgress(round % 100); };
    return {
        kind<MSlider>("MSlider", kPlace, value),
        kind<MSlider2>("MSlider2", kPlace, value),
        kind<MProgress>("MProgress colours", kPlace, barLook(L"", L"")),
        kind<MProgress>("MProgress strip", kPlace, barLook(L"h1_looks_strip.png", L"")),
        kind<MProgress>("MProgress images", kPlace, barLook(L"", L"h1_looks_fore.png")),
        kind<CircleProgress>("CircleProgress", CRect(10, 10, 110, 110),
                             [](CircleProgress& ring, int round) { ring.SetProgress(1 + round % 99); }),
        kind<MText>("MText", kPlace, [](MText& label, int round) {
            label.EnableMultiLine(1);
            label.EnableTextBack(round % 2, Gdiplus::Color(0xFF203040));
            label.SetTitleMarkText(round % 2 ? L"odd rounds wrap their title" : L"even", L"", 0);
        }),
    };
}

class ValueLooks : public ValueFixture {
protected:
    std::unique_ptr<MControlFont> make(const Kind& kind)
    {
        std::unique_ptr<MControlFont> control(kind.make(&parent));
        control->SetManager(&manager);
        kind.change(*control, 0);
        return control;
    }
    void TearDown() override { manager.ClearImgResInfo(); }
    std::vector<DWORD> pixels() const
    {
        std::vector<DWORD> all;
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x)
                all.push_back(canvas.rgb(x, y));
        return all;
    }

    const CString skins { GetSkinPath() };
    ScratchStrip strip { skins, L"h1_looks_strip.png", 20, 14, { 0xFFFF0000, 0xFF00FF00 } };
    ScratchStrip fore { skins, L"h1_looks_fore.png", 40, 10, { 0xFF00FF00 } };
};

TEST_F(ValueLooks, AThousandPaintsKeepTheGdiObjectCount)
{
    for (const Kind& kind : kinds()) {
        SCOPED_TRACE(kind.name);
        auto control = make(kind);
        // Every other paint renders the control again, the others copy what it rendered.
        int round = 0;
        auto paintOnce = [&] {
            if (++round % 2)
                kind.change(*control, round);
            control->Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
        };
        const int steady = warmGdiObjects(paintOnce);
        if (steady < 0)
            GTEST_SKIP() << "no GDI handle table";
        for (int i = 0; i < 1000; ++i)
            paintOnce();
        EXPECT_EQ(steady, gdiObjectsSettled(steady));
    }
}

// A copy takes values only: it draws what the original drew, also once the original, with
// its memory picture, is gone.
TEST_F(ValueLooks, ACopyDrawsLikeItsOriginalAndOutlivesIt)
{
    for (const Kind& kind : kinds()) {
        SCOPED_TRACE(kind.name);
        auto control = make(kind);
        kind.change(*control, 37);
        paint(*control);
        const std::vector<DWORD> original = pixels();
        std::unique_ptr<MControlFont> copy(kind.copy(*control));
        control.reset();
        paint(*copy);
        EXPECT_TRUE(original == pixels());
    }
}

} // namespace
