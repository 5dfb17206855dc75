// The sensor slots and overlay texts a host places over the LCD screen: the lists and their
// repaint requests, the slots' places, the pointer picking and swapping slots in the file mode
// (also through a real dialog), the lock the list changes wait for, and where the two draws
// put their ink on a canvas.
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>

#include "InkScan.h"
#include "LcdTestKit.h"
#include "PumpUntil.h"
#include "RecordingControl.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const CRect kScreen(0, 0, 480, 480);
constexpr DWORD kSelectedOverlay = 0xFF06B025;

// A renderer whose slots and overlay texts a test reads and draws onto a canvas.
class SlotLcd : public OpenLcd {
public:
    using OpenLcd::OpenLcd;
    // "1 4 1": the item of every slot, read as the host reads them.
    std::string items()
    {
        ScopedLock lock(m_stateLock);
        std::string text;
        for (size_t i = 0; i < m_sensorSlots.size(); ++i)
            text += (i ? " " : "") + std::to_string(GetSensorValue(static_cast<int>(i)));
        return text;
    }
    std::vector<CRect> slotRects(RECT SensorLayerInfo::*which)
    {
        ScopedLock lock(m_stateLock);
        std::vector<CRect> rects;
        for (const SensorLayerInfo& slot : m_sensorSlots)
            rects.push_back(slot.*which);
        return rects;
    }
    // Hovered slot, swap target, selected layer.
    std::tuple<int, int, int> pointer() const { return { m_hoveredSlot, m_swapTarget, m_selectedLayer }; }
    // "5:a/b 6:c/d": id and texts of every overlay record.
    std::wstring overlays()
    {
        ScopedLock lock(m_stateLock);
        std::wstring text;
        for (const OverLayerInfo& info : m_overlayers)
            text += (text.empty() ? L"" : L" ") + std::to_wstring(info.id) + L":" + info.first.GetString() + L"/" + info.second.GetString();
        return text;
    }
    OverLayerInfo overlay(size_t index) { return m_overlayers.at(index); }
    void drawSlots(DibCanvas& canvas)
    {
        Gdiplus::Graphics g(canvas.dc());
        int width = canvas.width(), height = canvas.height();
        DrawOverlayer(g, width, height);
    }
    void drawTexts(DibCanvas& canvas, int selected)
    {
        Gdiplus::Graphics g(canvas.dc());
        DrawLayer(g, m_rect, selected);
    }
    // Three slots placed on the screen, in the file mode, showing items.
    void prepare(std::initializer_list<int> items)
    {
        InitOverLayer();
        SetControlRect(kScreen);
        SetLEDMode(LEDModeFile);
        int slot = 0;
        for (int item : items)
            SetSensorValue(slot++, item);
    }
};

// One step of a test: what it does, then the slots' items, the repaints it asked for and, when
// given, the hovered slot, swap target and selected layer; reads past the slots give 0.
struct Step { const char* what; std::function<void()> act; const char* items; size_t repaints; std::optional<std::tuple<int, int, int>> pointer {}; };

void play(SlotLcd& lcd, RecordingParent& parent, const std::vector<Step>& steps)
{
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        parent.updates.clear();
        step.act();
        EXPECT_EQ(std::tuple(lcd.items(), parent.updates.size(), lcd.GetSensorValue(3), lcd.GetSensorValue(-1)),
                  std::tuple(std::string(step.items), step.repaints, 0, 0));
        EXPECT_EQ(lcd.pointer(), step.pointer.value_or(lcd.pointer()));
    }
}

// A renderer hosted by a hidden dialog, whose paint manager resolves the fonts.
class SlotsInDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.open(kScreen, false);
        lcd = dialog.addRenderer<SlotLcd>(kScreen);
    }
    void TearDown() override { dialog.DestroyWindow(); }

    LcdDialog dialog;
    SlotLcd* lcd { nullptr };
};

} // namespace

TEST(SensorSlots, ListOperationsChangeOnlyRealSlotsAndAskForRepaintsWhereTheyShould)
{
    RecordingParent parent;
    auto lcd = std::make_unique<SlotLcd>(&parent, 5, kScreen, 1, 1);
    play(*lcd, parent, {
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
    });
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
    EXPECT_EQ(lcd.slotRects(&SensorLayerInfo::frame), std::vector<CRect>(3)) << "not placed before the next rectangle";
    const std::pair<CRect, std::vector<CRect>> cases[] = {
        { kScreen, { { 10, 150, 170, 230 }, { 310, 150, 470, 230 }, { 160, 330, 320, 410 } } }, // the same rectangle
        { CRect(100, 50, 740, 530), { { 110, 200, 270, 280 }, { 570, 200, 730, 280 }, { 340, 380, 500, 460 } } },
    };
    for (auto [rect, frames] : cases) {
        lcd.SetControlRect(rect);
        EXPECT_EQ(lcd.slotRects(&SensorLayerInfo::frame), frames);
        for (CRect& frame : frames)
            frame.right += 20; // the pointer picks a little beyond
        EXPECT_EQ(lcd.slotRects(&SensorLayerInfo::pick), frames);
    }
}

TEST(OverlayTexts, AnIdIsAddedOnceBelowTheCentreAndOnlySetLayerInfoReplacesItsTexts)
{
    RecordingParent parent;
    SlotLcd lcd(&parent, 5, CRect(100, 50, 580, 530), 1, 1);
    const std::tuple<std::function<void()>, const wchar_t*, size_t> steps[] = {
        { [&] { lcd.AddOverLayerInfo(5, L"a", L"b"); }, L"5:a/b", 1 },
        { [&] { lcd.AddOverLayerInfo(5, L"c", L"d"); }, L"5:a/b", 0 },
        { [&] { lcd.AddOverLayerInfo(6, L"c", L"d"); }, L"5:a/b 6:c/d", 1 },
        { [&] { lcd.SetLayerInfo(6, L"e", L"f"); }, L"5:a/b 6:e/f", 0 },
        { [&] { lcd.SetLayerInfo(7, L"x", L"y"); }, L"5:a/b 6:e/f", 0 },
        { [&] { lcd.SetSelectLayer(1); lcd.ClearOverlayer(); }, L"", 2 },
    };
    for (const auto& [act, overlays, repaints] : steps) {
        const bool clearing = !*overlays;
        if (clearing) {
            const OverLayerInfo added = lcd.overlay(1);
            EXPECT_EQ(std::tuple(added.anchor, added.colour.GetValue(), added.size, added.scale),
                      std::tuple(CPoint(340, 390), 0xFFFFFFFFu, 30, 1.0f));
        }
        parent.updates.clear();
        act();
        EXPECT_EQ(std::tuple(lcd.overlays(), parent.updates.size()), std::tuple(std::wstring(overlays), repaints));
    }
    EXPECT_EQ(lcd.pointer(), std::tuple(-1, 0, -1));
}

TEST(SensorSlots, ThePointerHeldInTheFileModePicksTheSlotTheSwapExchangesWithTheFirst)
{
    RecordingParent parent;
    SlotLcd lcd(&parent, 5, CRect(), 1, 1);
    lcd.prepare({ 1, 4, 10 });
    const CPoint slot0(90, 190), slot1(400, 190), slot2(240, 370), none(240, 20);
    play(lcd, parent, {
        { "swap with itself", [&] { lcd.SwitchSensorValue(); }, "1 4 10", 0, std::tuple(-1, 0, -1) },
        { "press", [&] { lcd.OnControlLButtonDown(MK_LBUTTON, none); }, "1 4 10", 0, std::tuple(-1, 0, -1) },
        { "held over 1", [&] { lcd.OnControlMouseMove(MK_LBUTTON, slot1); }, "1 4 10", 0, std::tuple(1, 1, -1) },
        { "free over 2", [&] { lcd.OnControlMouseMove(0, slot2); lcd.DragMove(slot2); }, "1 4 10", 1, std::tuple(1, 1, -1) },
        { "held over none", [&] { lcd.OnControlMouseMove(MK_LBUTTON, none); }, "1 4 10", 0, std::tuple(-1, 1, -1) },
        { "held over 2", [&] { lcd.OnControlMouseMove(MK_LBUTTON, slot2); }, "1 4 10", 0, std::tuple(2, 2, -1) },
        { "release outside", [&] { lcd.OnControlLButtonUp(0, CPoint(600, 20)); }, "1 4 10", 0, std::tuple(2, 2, -1) },
        { "release", [&] { lcd.OnControlLButtonUp(0, slot2); }, "1 4 10", 1, std::tuple(2, 2, 2) },
        { "swap", [&] { lcd.SwitchSensorValue(); }, "10 4 1", 1, std::tuple(2, 2, 2) },
        { "capture mode pans", [&] { lcd.SetLEDMode(LEDModeWindowCapture); lcd.OnControlLButtonDown(MK_LBUTTON, slot0);
                                     lcd.OnControlMouseMove(MK_LBUTTON, slot1); }, "10 4 1", 2, std::tuple(2, 2, -1) },
        // The target outlives the slots it named.
        { "no slots", [&] { lcd.ClearOverlayer2(); lcd.SwitchSensorValue(); }, "", 1, std::tuple(-1, 2, -1) },
        { "new slots", [&] { lcd.InitOverLayer(); lcd.SetSensorValue(0, 3); lcd.SwitchSensorValue(); }, "0 0 3", 2, std::tuple(-1, 2, -1) },
        { "disabled", [&] { lcd.SetLEDMode(LEDModeFile); lcd.SetEnabled(0); parent.updates.clear(); lcd.DragMove(slot0);
                            EXPECT_EQ(lcd.OnControlMouseMove(MK_LBUTTON, slot0), 0); }, "0 0 3", 0, std::tuple(-1, 2, -1) },
    });
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
    EXPECT_EQ(std::tuple(lcd.items(), lcd.overlays()), std::tuple(std::string("0 0 0"), std::wstring(L"1:c/d")));
}

TEST_F(SlotsInDialog, APressAMoveOverTheThirdSlotAndAReleasePostedToTheWindowPickItForTheSwap)
{
    dialog.ShowWindow(SW_SHOWNOACTIVATE);
    lcd->prepare({ 1, 4, 10 });
    const HWND window = dialog.GetSafeHwnd();
    ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(90, 190));
    ::PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(240, 370));
    ::PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(240, 370));
    ASSERT_TRUE(pumpUntil([&] { return std::get<2>(lcd->pointer()) == 2; }));
    lcd->SwitchSensorValue();
    EXPECT_EQ(lcd->items(), "10 4 1");
}

TEST_F(SlotsInDialog, SlotsShowTheirLabelOverTheirValueInTheirFrameInTheFileModeOnly)
{
    const float scale = Manager::GetScaleValue();
    lcd->prepare({ HardwareCpuLoad });
    lcd->SetLEDMode(LEDModeSystemInfo);
    lcd->SetHardWareInfo(HARDWARE_INFO { 0, 0, 42, 0, 0, 0, 0, 0, 0, 0, 3200, 0, 0 });
    lcd->SetTitleColor(RGB(250, 200, 0));
    lcd->SetColor(0xFF010101, 0xFF40E0FF, 0xFF9D1D96, 0xFF9D1D96);
    DibCanvas canvas(480, 480);
    lcd->drawSlots(canvas);
    EXPECT_TRUE(canvas.untouchedSinceFill()) << "not in the system-information mode";
    lcd->SetLEDMode(LEDModeFile);
    lcd->OnControlMouseMove(MK_LBUTTON, CPoint(400, 190));
    int valueHeight[2] {};
    for (float textScale : { 1.0f, 1.5f }) {
        Manager::SetScaleValue(textScale);
        canvas.fill(0xFF000000);
        lcd->drawSlots(canvas);
        // The label in the title colour in the upper half of slot 0, the value in the label
        // colour in its lower half; the empty slot 1 shows its frame alone.
        EXPECT_GT(scanInk(canvas, CRect(12, 152, 168, 189), 0, 0xFAC800, 8).matching, 20);
        const Ink value = scanInk(canvas, CRect(12, 191, 168, 229), 0, 0x40E0FF, 8);
        EXPECT_GT(value.matching, 20);
        valueHeight[textScale > 1] = value.bounds.Height();
        EXPECT_FALSE(scanInk(canvas, CRect(312, 152, 468, 228), 0, 0).any());
    }
    Manager::SetScaleValue(scale);
    EXPECT_NEAR(valueHeight[1], valueHeight[0] * 1.5, 4);
    // Quiet frames faint, the hovered one in the full selection colour.
    const DWORD quiet = canvas.rgb(10, 190), hovered = canvas.rgb(310, 190);
    EXPECT_TRUE(channel(quiet, 16) > 0 && channel(quiet, 16) < 0x60 && channel(hovered, 16) > 0x60) << std::hex << quiet << " " << hovered;
}

TEST_F(SlotsInDialog, OverlayTextsAreDrawnOnTheirAnchorAndOnlyTheSelectedOneIsFramed)
{
    lcd->AddOverLayerInfo(1, L"", L"HIDDEN"); // no first line: not drawn
    DibCanvas canvas(480, 480);
    lcd->drawTexts(canvas, 1);
    EXPECT_TRUE(canvas.untouchedSinceFill());
    lcd->AddOverLayerInfo(2, L"CPU", L"45 DEGREES");
    // The selection is a place in the list: the drawn text is the second.
    for (const auto& [selected, flag, framed] : { std::tuple(1, 1, true), std::tuple(1, 0, false), std::tuple(0, 1, false) }) {
        lcd->SetSelectLayer(selected);
        canvas.fill(0xFF000000);
        lcd->drawTexts(canvas, flag);
        // Both lines centred on the anchor (240, 340), the first above it, the second below.
        const Ink first = scanInk(canvas, CRect(0, 0, 480, 340), 0, 0xFFFFFF, 8);
        const Ink second = scanInk(canvas, CRect(0, 340, 480, 480), 0, 0xFFFFFF, 8);
        EXPECT_NEAR((first.bounds.left + first.bounds.right) / 2.0, 240, 3);
        EXPECT_NEAR((second.bounds.left + second.bounds.right) / 2.0, 240, 3);
        EXPECT_TRUE(first.matching > 0 && second.matching > 0);
        EXPECT_EQ(scanInk(canvas, CRect(0, 0, 480, 480), 0, kSelectedOverlay & 0xFFFFFF, 8).matching > 100, framed);
    }
}
