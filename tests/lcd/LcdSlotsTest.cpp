// The sensor slots and overlay texts a host places over the LCD screen: the lists and their
// repaint requests, the slots' places, the pointer picking and swapping slots in the file mode
// (also through a real dialog), the lock the list changes wait for, and what the two draws put
// on a canvas against the same texts and frames drawn by hand.
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <string>

#include "LcdTestKit.h"
#include "PumpUntil.h"
#include "RecordingControl.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const CRect kScreen(0, 0, 480, 480);
constexpr DWORD kSelectedOverlay = 0xFF06B025;
constexpr DWORD kQuietSlotFrame = 0x64BD30FF;

// A renderer whose slots and overlay texts a test reads and draws onto a canvas.
class SlotLcd : public OpenLcd {
public:
    using OpenLcd::OpenLcd;
    // "1 4 1": the item of every slot, read as the host reads them.
    std::string items()
    {
        std::string text;
        for (int i = 0; i < slotCount(); ++i)
            text += (i ? " " : "") + std::to_string(GetSensorValue(i));
        return text;
    }
    int slotCount()
    {
        ScopedLock lock(m_stateLock);
        return static_cast<int>(m_sensorSlots.size());
    }
    std::vector<CRect> frames() { return rects(&SensorLayerInfo::frame); }
    std::vector<CRect> picks() { return rects(&SensorLayerInfo::pick); }
    // Hovered slot, swap target, selected layer.
    std::tuple<int, int, int> pointer() const { return { m_hoveredSlot, m_swapTarget, m_selectedLayer }; }
    // "5:a/b 6:c/d": id and texts of every overlay record.
    std::string overlays()
    {
        ScopedLock lock(m_stateLock);
        std::string text;
        for (const OverLayerInfo& info : m_overlayers)
            text += (text.empty() ? "" : " ") + std::to_string(info.id) + ":" + narrow(info.first) + "/" + narrow(info.second);
        return text;
    }
    OverLayerInfo overlay(size_t index)
    {
        ScopedLock lock(m_stateLock);
        return m_overlayers.at(index);
    }
    void drawSlots(DibCanvas& canvas)
    {
        Gdiplus::Graphics g(canvas.dc());
        int width = canvas.width();
        int height = canvas.height();
        DrawOverlayer(g, width, height);
    }
    void drawTexts(DibCanvas& canvas, int selected)
    {
        Gdiplus::Graphics g(canvas.dc());
        DrawLayer(g, m_rect, selected);
    }

private:
    static std::string narrow(const CString& text)
    {
        const wchar_t* chars = text;
        return std::string(chars, chars + text.GetLength()); // the tests' texts are ASCII
    }
    std::vector<CRect> rects(RECT SensorLayerInfo::*which)
    {
        ScopedLock lock(m_stateLock);
        std::vector<CRect> out;
        for (const SensorLayerInfo& slot : m_sensorSlots)
            out.push_back(slot.*which);
        return out;
    }
};

// A renderer hosted by a hidden dialog, whose paint manager resolves the fonts.
class SlotsInDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.open(kScreen, false);
        lcd = dialog.addRenderer<SlotLcd>(kScreen);
    }
    void TearDown() override { dialog.DestroyWindow(); }
    const Gdiplus::FontFamily* family(const wchar_t* face) { return dialog.GetPaintManager()->FindTempFontOrFallback(face); }

    LcdDialog dialog;
    SlotLcd* lcd { nullptr };
};

} // namespace

TEST(SensorSlots, ListOperationsChangeOnlyRealSlotsAndAskForRepaintsWhereTheyShould)
{
    RecordingParent parent;
    auto lcd = std::make_unique<SlotLcd>(&parent, 5, kScreen, 1, 1);
    struct Step { const char* what; std::function<void()> act; const char* items; size_t repaints; };
    const Step steps[] = {
        { "nothing yet", [&] { lcd->SetSensorValue(0, 3); lcd->SwitchSensorValue(); }, "", 0 },
        { "init", [&] { lcd->InitOverLayer(); }, "0 0 0", 0 },
        { "init again", [&] { lcd->InitOverLayer(); }, "0 0 0", 0 },
        { "by index", [&] { lcd->SetSensorValue(0, 1); lcd->SetSensorValue(1, 4); lcd->SetSensorValue(2, 1); }, "1 4 1", 3 },
        { "no such index", [&] { lcd->SetSensorValue(3, 2); lcd->SetSensorValue(-1, 2); }, "1 4 1", 0 },
        { "status 1 keeps", [&] { lcd->SetSensorStatus(1, 1); }, "1 4 1", 1 },
        { "status 0 empties", [&] { lcd->SetSensorStatus(1, 0); }, "0 4 0", 1 },
        { "placed", [&] { lcd->SetControlRect(kScreen); }, "0 4 0", 0 },
        { "by point right of the frame", [&] { lcd->SetSensorValue(7, CPoint(485, 160)); }, "0 7 0", 1 },
        { "by point on no slot", [&] { lcd->SetSensorValue(9, CPoint(240, 20)); }, "0 7 0", 1 },
        { "swap with itself", [&] { lcd->SwitchSensorValue(); }, "0 7 0", 0 },
        { "selection, editing, drag", [&] { lcd->SetSelectLayer(0); lcd->SetEditStatus(0); lcd->DragMove(CPoint(20, 160)); }, "0 7 0", 3 },
        { "cleared", [&] { lcd->ClearOverlayer2(); }, "", 1 },
        { "init after clearing", [&] { lcd->InitOverLayer(); }, "0 0 0", 0 },
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        parent.updates.clear();
        step.act();
        EXPECT_EQ(lcd->items(), step.items);
        EXPECT_EQ(std::pair(lcd->GetSensorValue(3), lcd->GetSensorValue(-1)), std::pair(0, 0));
        EXPECT_EQ(parent.updates.size(), step.repaints);
    }
    // The parent may be half gone while the renderer goes: it hears nothing more.
    lcd->SetSensorValue(1, 10);
    lcd->AddOverLayerInfo(1, L"a", L"b");
    parent.updates.clear();
    lcd.reset();
    EXPECT_TRUE(parent.updates.empty());
}

TEST(SensorSlots, FramesAndPickAreasTakeTheirPlacesWithEveryRectangle)
{
    SlotLcd lcd(nullptr, 5, kScreen, 1, 1);
    lcd.InitOverLayer();
    EXPECT_EQ(lcd.frames(), std::vector<CRect>(3)) << "not placed before the next rectangle";
    struct Case { CRect rect; std::vector<CRect> frames; };
    const Case cases[] = {
        { kScreen, { { 10, 150, 170, 230 }, { 310, 150, 470, 230 }, { 160, 330, 320, 410 } } }, // the same rectangle
        { CRect(100, 50, 740, 530), { { 110, 200, 270, 280 }, { 570, 200, 730, 280 }, { 340, 380, 500, 460 } } },
    };
    for (const Case& c : cases) {
        lcd.SetControlRect(c.rect);
        EXPECT_EQ(lcd.frames(), c.frames);
        std::vector<CRect> picks = c.frames;
        for (CRect& pick : picks)
            pick.right += 20;
        EXPECT_EQ(lcd.picks(), picks);
    }
}

TEST(OverlayTexts, AnIdIsAddedOnceBelowTheCentreAndOnlySetLayerInfoReplacesItsTexts)
{
    RecordingParent parent;
    SlotLcd lcd(&parent, 5, CRect(100, 50, 580, 530), 1, 1);
    struct Step { std::function<void()> act; const char* overlays; size_t repaints; };
    const Step steps[] = {
        { [&] { lcd.AddOverLayerInfo(5, L"a", L"b"); }, "5:a/b", 1 },
        { [&] { lcd.AddOverLayerInfo(5, L"c", L"d"); }, "5:a/b", 0 },
        { [&] { lcd.AddOverLayerInfo(6, L"c", L"d"); }, "5:a/b 6:c/d", 1 },
        { [&] { lcd.SetLayerInfo(6, L"e", L"f"); }, "5:a/b 6:e/f", 0 },
        { [&] { lcd.SetLayerInfo(7, L"x", L"y"); }, "5:a/b 6:e/f", 0 },
    };
    for (const Step& step : steps) {
        parent.updates.clear();
        step.act();
        EXPECT_EQ(lcd.overlays(), step.overlays) << &step - steps;
        EXPECT_EQ(parent.updates.size(), step.repaints) << &step - steps;
    }
    const OverLayerInfo added = lcd.overlay(1);
    EXPECT_EQ(std::tuple(added.anchor, added.colour.GetValue(), added.size, added.scale),
              std::tuple(CPoint(340, 390), 0xFFFFFFFFu, 30, 1.0f));
    lcd.SetSelectLayer(1);
    lcd.ClearOverlayer();
    EXPECT_EQ(lcd.overlays(), "");
    EXPECT_EQ(lcd.pointer(), std::tuple(-1, 0, -1));
}

TEST(SensorSlots, ThePointerPicksSlotsOnlyWithTheButtonHeldInTheFileMode)
{
    RecordingParent parent;
    SlotLcd lcd(&parent, 5, CRect(), 1, 1);
    lcd.InitOverLayer();
    lcd.SetControlRect(kScreen);
    lcd.SetLEDMode(LEDModeFile);
    const CPoint slot0(90, 190), slot1(400, 190), slot2(240, 370), none(240, 20);
    struct Step { const char* what; std::function<int()> act; std::tuple<int, int, int> pointer; size_t repaints; int result = 1; };
    const Step steps[] = {
        { "press", [&] { return lcd.OnControlLButtonDown(MK_LBUTTON, none); }, { -1, 0, -1 }, 0 },
        { "held over 1", [&] { return lcd.OnControlMouseMove(MK_LBUTTON, slot1); }, { 1, 1, -1 }, 0 },
        { "free over 2", [&] { return lcd.OnControlMouseMove(0, slot2); }, { 1, 1, -1 }, 0 },
        { "held over none", [&] { return lcd.OnControlMouseMove(MK_LBUTTON, none); }, { -1, 1, -1 }, 0 },
        { "held over 2", [&] { return lcd.OnControlMouseMove(MK_LBUTTON, slot2); }, { 2, 2, -1 }, 0 },
        { "release outside", [&] { return lcd.OnControlLButtonUp(0, CPoint(600, 20)); }, { 2, 2, -1 }, 0 },
        { "release", [&] { return lcd.OnControlLButtonUp(0, slot2); }, { 2, 2, 2 }, 1 },
        { "drag move has no button", [&] { lcd.DragMove(slot0); return 1; }, { 2, 2, 2 }, 1 },
        { "press again", [&] { return lcd.OnControlLButtonDown(MK_LBUTTON, slot0); }, { 2, 2, -1 }, 0 },
        { "capture mode pans", [&] { lcd.SetLEDMode(LEDModeWindowCapture); return lcd.OnControlMouseMove(MK_LBUTTON, slot1); }, { 2, 2, -1 }, 2 },
        { "capture mode release", [&] { return lcd.OnControlLButtonUp(0, slot0); }, { 2, 2, -1 }, 0 },
        { "disabled", [&] { lcd.SetLEDMode(LEDModeFile); lcd.SetEnabled(0); parent.updates.clear(); lcd.DragMove(slot0);
                            return lcd.OnControlMouseMove(MK_LBUTTON, slot0); }, { 2, 2, -1 }, 0, 0 },
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        parent.updates.clear();
        EXPECT_EQ(step.act(), step.result);
        EXPECT_EQ(lcd.pointer(), step.pointer);
        EXPECT_EQ(parent.updates.size(), step.repaints);
    }
}

TEST(SensorSlots, TheSwapChecksBothSlotsAgainstTheList)
{
    RecordingParent parent;
    SlotLcd lcd(&parent, 5, CRect(), 1, 1);
    lcd.InitOverLayer();
    lcd.SetControlRect(kScreen);
    lcd.SetLEDMode(LEDModeFile);
    for (int i : { 0, 1, 2 })
        lcd.SetSensorValue(i, std::vector { 1, 4, 10 }[static_cast<size_t>(i)]);
    lcd.OnControlMouseMove(MK_LBUTTON, CPoint(240, 370));
    struct Step { const char* what; std::function<void()> act; const char* items; size_t repaints; };
    const Step steps[] = {
        { "first with the third", [] {}, "10 4 1", 1 },
        { "and back", [] {}, "1 4 10", 1 },
        // The pointer's target outlives the slots it named.
        { "no slots", [&] { lcd.ClearOverlayer2(); }, "", 0 },
        { "new slots", [&] { lcd.InitOverLayer(); lcd.SetSensorValue(0, 3); }, "0 0 3", 1 },
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        parent.updates.clear();
        lcd.SwitchSensorValue();
        EXPECT_EQ(lcd.items(), step.items);
        EXPECT_EQ(parent.updates.size(), step.repaints);
    }
}

TEST(SensorSlots, ListChangesWaitForTheStateLock)
{
    SlotLcd lcd(nullptr, 5, kScreen, 1, 1);
    lcd.AddOverLayerInfo(1, L"a", L"b");
    lcd.SetLEDMode(LEDModeFile);
    const std::function<void()> changes[] = {
        [&] { lcd.InitOverLayer(); },
        [&] { lcd.SetLayerInfo(1, L"c", L"d"); },
        [&] { lcd.OnControlMouseMove(MK_LBUTTON, CPoint(90, 190)); },
    };
    for (const auto& change : changes) {
        lcd.EnterCS(); // as a frame being drawn holds it
        std::future<void> done = std::async(std::launch::async, change);
        EXPECT_EQ(done.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout) << &change - changes;
        lcd.LeaveCS();
        EXPECT_EQ(done.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    }
    EXPECT_EQ(std::tuple(lcd.items(), lcd.overlays()), std::tuple(std::string("0 0 0"), std::string("1:c/d")));
}

TEST_F(SlotsInDialog, APressAMoveOverTheThirdSlotAndAReleasePostedToTheWindowPickItForTheSwap)
{
    dialog.ShowWindow(SW_SHOWNOACTIVATE);
    lcd->InitOverLayer();
    lcd->SetControlRect(kScreen);
    lcd->SetLEDMode(LEDModeFile);
    for (int i : { 0, 1, 2 })
        lcd->SetSensorValue(i, std::vector { 1, 4, 10 }[static_cast<size_t>(i)]);
    const HWND window = dialog.GetSafeHwnd();
    ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(90, 190));
    ::PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(240, 370));
    ::PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(240, 370));
    ASSERT_TRUE(pumpUntil([&] { return std::get<2>(lcd->pointer()) == 2; }));
    lcd->SwitchSensorValue();
    EXPECT_EQ(lcd->items(), "10 4 1");
}

TEST_F(SlotsInDialog, TheSlotsAreDrawnInTheFileModeOnlyWithTheirLabelValueAndFrame)
{
    const float scale = Manager::GetScaleValue();
    const int language = Manager::GetLanguage();
    Manager::SetLanguage(1033); // Latin labels, in the slots' own face
    lcd->InitOverLayer();
    lcd->SetControlRect(kScreen);
    lcd->SetSensorValue(0, HardwareCpuLoad);
    lcd->SetSensorValue(2, HardwareMemoryClock);
    lcd->SetHardWareInfo(HARDWARE_INFO { 0, 0, 42, 0, 0, 0, 0, 0, 0, 0, 3200, 0, 0 });
    lcd->SetTitleColor(RGB(250, 200, 0));
    lcd->SetColor(0xFF010101, 0xFF40E0FF, 0xFF9D1D96, 0xFF9D1D96);
    DibCanvas drawn(480, 480);
    lcd->drawSlots(drawn);
    EXPECT_TRUE(drawn.untouchedSinceFill()) << "not in the system-information mode";
    lcd->SetLEDMode(LEDModeFile);
    lcd->OnControlMouseMove(MK_LBUTTON, CPoint(400, 190));
    for (float textScale : { 1.0f, 1.5f }) {
        Manager::SetScaleValue(textScale);
        drawn.fill(0xFF000000);
        lcd->drawSlots(drawn);
        // The same frames and texts drawn by hand: labels in the title colour, values in the
        // label colour, the hovered slot framed in the selection colour.
        DibCanvas expected(480, 480);
        Gdiplus::Graphics g(expected.dc());
        g.SetTextRenderingHint(lcd->GetTextRenderingHint());
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        const Gdiplus::Font labelFont(family(L"BRAVIK 1.2"), static_cast<float>(static_cast<int>(20 * textScale)),
                                      Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        const Gdiplus::Font valueFont(family(L"BRAVIK 1.2"), static_cast<float>(static_cast<int>(25 * textScale)),
                                      Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        const Gdiplus::SolidBrush labelBrush(Gdiplus::Color(0xFFFAC800));
        const Gdiplus::SolidBrush valueBrush(Gdiplus::Color(0xFF40E0FF));
        const CRect frames[] = { { 10, 150, 170, 230 }, { 310, 150, 470, 230 }, { 160, 330, 320, 410 } };
        const int items[] = { HardwareCpuLoad, 0, HardwareMemoryClock };
        for (int i = 0; i < 3; ++i) {
            const CRect& r = frames[i];
            const Gdiplus::Pen pen(i == 1 ? Manager::GetSelectColor() : Gdiplus::Color(kQuietSlotFrame), 1);
            g.DrawRectangle(&pen, Gdiplus::Rect(r.left, r.top, r.Width(), r.Height()));
            CString label;
            CString value;
            lcd->GetSoftwareInfo(items[i], label, value);
            Gdiplus::RectF box(static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.Width()),
                               r.Height() * 0.5f);
            g.DrawString(label, label.GetLength(), &labelFont, box, nullptr, &labelBrush);
            box.Y += box.Height;
            g.DrawString(value, value.GetLength(), &valueFont, box, nullptr, &valueBrush);
        }
        EXPECT_EQ(differingPixels(drawn, expected), 0) << textScale;
    }
    Manager::SetScaleValue(scale);
    Manager::SetLanguage(language);
    EXPECT_NE(drawn.rgb(10, 190), drawn.rgb(310, 190)) << "the hovered frame stands out";
}

TEST_F(SlotsInDialog, OverlayTextsAreDrawnOnTheirAnchorAndOnlyTheSelectedOneIsFramed)
{
    lcd->AddOverLayerInfo(1, L"", L"HIDDEN"); // no first line: not drawn
    DibCanvas drawn(480, 480);
    lcd->drawTexts(drawn, 1);
    EXPECT_TRUE(drawn.untouchedSinceFill());
    lcd->AddOverLayerInfo(2, L"CPU", L"45 DEGREES");
    const Gdiplus::Font font(family(lcd->GetTextFont()), 30.0f, lcd->GetFontStyle(), Gdiplus::UnitPixel);
    Gdiplus::StringFormat centred(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    centred.SetAlignment(Gdiplus::StringAlignmentCenter);
    centred.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    for (int selected : { 0, 1 }) {
        lcd->SetSelectLayer(selected);
        drawn.fill(0xFF000000);
        lcd->drawTexts(drawn, 1);
        // The box: the second line's size with a margin of 20, centred on the anchor (240, 340).
        const RECT box = lcd->overlay(1).box;
        DibCanvas expected(480, 480);
        Gdiplus::Graphics g(expected.dc());
        Gdiplus::RectF second;
        g.MeasureString(L"45 DEGREES", -1, &font, Gdiplus::PointF(0, 0), &second);
        EXPECT_NEAR(box.right - box.left, second.Width + 40, 2);
        EXPECT_NEAR(box.bottom - box.top, 2 * second.Height + 40, 2);
        EXPECT_NEAR((box.left + box.right) / 2.0, 240, 1);
        EXPECT_NEAR((box.top + box.bottom) / 2.0, 340, 1);
        // The first line in the upper half of the box, the second half a line lower.
        const int half = (box.bottom - box.top) / 2;
        Gdiplus::RectF line(static_cast<float>(box.left), static_cast<float>(box.top), static_cast<float>(box.right - box.left),
                            static_cast<float>(half));
        const Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
        g.DrawString(L"CPU", -1, &font, line, &centred, &white);
        line.Y += half * 0.5f + 10;
        g.DrawString(L"45 DEGREES", -1, &font, line, &centred, &white);
        const Gdiplus::Pen frame(Gdiplus::Color(kSelectedOverlay), 3);
        if (selected)
            g.DrawRectangle(&frame, line);
        EXPECT_EQ(differingPixels(drawn, expected), 0) << selected;
        EXPECT_EQ(nearColor(drawn.rgb(box.left, static_cast<int>(line.Y + line.Height / 2)), kSelectedOverlay & 0xFFFFFF, 8),
                  selected == 1);
    }
}
