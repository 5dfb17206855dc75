// The keyboard and mouse page: the keyboard in Light mode playing a wave over its keys (the
// 104 keys of the picker's full-size layout, at two thirds of its size), the key-function picker, the mouse buttons as a list and as call-outs, the mouse lighting zones,
// a row of DPI stage tiles and a key macro.
#include "SamplePage.h"

#include <vector>

#include "HostTools.h"

using namespace KOVA;

namespace {

constexpr UINT kFirstId = 6000;
// The period every page of the host runs its fast timer at.
constexpr UINT kFastTimerPeriod = 10;
constexpr int kFrames = 24;

// The keyboard: the layout's keys below its row of icon keys, two thirds of the layout's size
// inside a rim, in a picture of its own.
constexpr int kFirstKey = KeyboardLayout::kIconKeyCount;
constexpr int kKeyboardRim = 6;
constexpr int kKeyboardWidth = 614;
constexpr int kKeyboardHeight = 146;
// Keys a column of the wave is this wide, in the picture.
constexpr int kWaveColumn = 26;

int shrunk(int value)
{
    return value * 2 / 3;
}

CRect keyRect(const KeyLayoutRow& key)
{
    const int top = KeyboardLayout::Row(kFirstKey)->y;
    const int left = kKeyboardRim + shrunk(key.x);
    const int y = kKeyboardRim + shrunk(key.y - top);
    return CRect(left, y, left + shrunk(key.width), y + shrunk(key.height));
}

void writeKeyboardPicture()
{
    HostTools::WriteSkinStrip(L"sample_keyboard.png", kKeyboardWidth, kKeyboardHeight, 1,
                              [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush body(Gdiplus::Color(255, 36, 38, 46));
        g.FillRectangle(&body, r);
        const Gdiplus::SolidBrush cap(Gdiplus::Color(255, 58, 62, 74));
        for (int index = kFirstKey; index < KeyboardLayout::kKeyCount; ++index) {
            const CRect key = keyRect(*KeyboardLayout::Row(index));
            g.FillRectangle(&cap, key.left + 1, key.top + 1, key.Width() - 2, key.Height() - 2);
        }
    });
}

void writePeripheralSkin()
{
    writeKeyboardPicture();
    HostTools::WriteSkinStrip(L"sample_callout.png", 24, 24, 2, [](Gdiplus::Graphics& g, int frame, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush fill(frame ? Gdiplus::Color(255, 189, 48, 255) : Gdiplus::Color(255, 70, 70, 80));
        g.FillRectangle(&fill, r);
    });
    HostTools::WriteSkinStrip(L"sample_dpi.png", 24, 24, 2, [](Gdiplus::Graphics& g, int frame, Gdiplus::Rect r) {
        const Gdiplus::Pen edge(frame ? Gdiplus::Color(255, 202, 81, 0) : Gdiplus::Color(255, 110, 110, 120), 2.0f);
        g.DrawRectangle(&edge, r.X + 1, r.Y + 1, r.Width - 3, r.Height - 3);
    });
}

void buildKeyboard(MPanel* page, UINT id, const CRect& place)
{
    auto* keyboard = dynamic_cast<KeyboardCtrl*>(page->CreateControl(L"KeyboardCtrl", id, place, L"", 1, 1));
    keyboard->SetKeyboardImage(L"sample_keyboard.png");
    keyboard->SetWidthAndHeight(kKeyboardWidth, kKeyboardHeight);
    keyboard->SetControlRect(place);
    std::vector<int> columns;
    for (int index = kFirstKey; index < KeyboardLayout::kKeyCount; ++index) {
        const KeyLayoutRow& key = *KeyboardLayout::Row(index);
        const CRect rect = keyRect(key);
        keyboard->AddKeyItem(key.label, key.label, static_cast<unsigned long>(key.code), rect, L"");
        columns.push_back(rect.CenterPoint().x / kWaveColumn);
    }
    // A wave running left to right.
    std::vector<unsigned char> frames;
    for (int frame = 0; frame < kFrames; ++frame)
        for (const int column : columns) {
            const int distance = (column + kFrames - frame) % kFrames;
            frames.push_back(static_cast<unsigned char>(distance < 6 ? 255 - distance * 40 : 20));
        }
    keyboard->SetLightModeData(frames.data(), static_cast<int>(frames.size()));
    keyboard->SetLightSpeed(1);
    keyboard->SetKeyboardCtrlMode(KeyboardCtrl::ModeLight);
    page->GetManager()->SetMTimer(kFastTimerPeriod);
}

void buildMouse(MPanel* page, UINT& id, int left, int top)
{
    auto* buttons = dynamic_cast<MouseKeyCtrl*>(page->CreateControl(L"MouseKeyCtrl", id++,
                                                                    CRect(left, top, left + 220, top + 130), L"", 1, 1));
    const wchar_t* functions[][2] = { { L"Left", L"Click" }, { L"Right", L"Menu" }, { L"Middle", L"Copy" },
                                      { L"Side", L"Back" } };
    for (int i = 0; i < 4; ++i)
        buttons->AddItem(functions[i][0], functions[i][1], i);
    buttons->SetSelectItem(1);
    auto* callouts = dynamic_cast<MouseCtrl*>(page->CreateControl(L"MouseCtrl", id++,
                                                                  CRect(left + 230, top, left + 440, top + 200), L"", 1, 1));
    callouts->SetImage(L"sample_callout.png", 2);
    callouts->AddItem(L"Left Button", 0, 1, CPoint(60, 40), CPoint(110, 30));
    callouts->AddItem(L"Wheel", 1, 2, CPoint(90, 110), CPoint(40, 100));
    callouts->SetSelectItem(0);
    auto* zones = dynamic_cast<MouseLight*>(page->CreateControl(L"MouseLight", id++,
                                                                CRect(left, top + 140, left + 220, top + 200), L"", 1, 1));
    const COLORREF colours[] = { RGB(255, 40, 40), RGB(40, 220, 90), RGB(60, 120, 255) };
    for (int i = 0; i < 3; ++i) {
        zones->AddItem(i, CRect(10 + i * 70, 5, 70 + i * 70, 55));
        zones->SetLightColor(i, colours[i]);
    }
}

void buildStages(MPanel* page, UINT& id, int left, int top)
{
    const int values[] = { 400, 800, 1600, 3200 };
    const COLORREF colours[] = { RGB(255, 0, 0), RGB(0, 200, 0), RGB(0, 120, 255), RGB(255, 200, 0) };
    for (int i = 0; i < 4; ++i) {
        auto* stage = dynamic_cast<DPIControl*>(
            page->CreateControl(L"DPIControl", id++, CRect(left + i * 110, top, left + i * 110 + 100, top + 80), L"", 1, 1));
        stage->SetImage(L"sample_dpi.png", 2);
        stage->SetTitle(L"DPI");
        stage->SetDPIValue(values[i]);
        stage->SetColor(colours[i]);
        stage->SetCheckState(i == 2);
    }
}

void buildMacro(MPanel* page, UINT id, const CRect& place)
{
    auto* macro = dynamic_cast<CRecordList*>(page->CreateControl(L"CRecordList", id, place, L"", 1, 1));
    const wchar_t* keys[] = { L"Ctrl", L"C", L"C", L"Ctrl" };
    const int types[] = { 2, 2, 3, 3 };
    macro->SetItemHeight(30);
    for (int i = 0; i < 4; ++i)
        macro->AddString(keys[i], types[i], i, 20 + i * 10);
    macro->SetCurSel(1);
}

void build(MPanel* page, const CRect& area)
{
    writePeripheralSkin();
    UINT id = kFirstId;
    const int left = area.left + 10;
    const int top = area.top + 10;
    buildKeyboard(page, id++, CRect(left, top, left + kKeyboardWidth, top + 190));
    auto* picker = dynamic_cast<KeyFuncControl*>(page->CreateControl(L"KeyFuncControl", id++,
                                                                     CRect(left, top + 200, left + 910, top + 450), L"", 1, 1));
    picker->InitItemInfo();
    picker->SetItemCheckByItemData(4, 0, 0);
    buildMouse(page, id, left + 620, top);
    buildStages(page, id, left, top + 460);
    buildMacro(page, id++, CRect(left + 460, top + 460, left + 1050, top + 580));
}

} // namespace

extern const SamplePage kPeripheralsPage { L"peripherals", build, nullptr, nullptr };
