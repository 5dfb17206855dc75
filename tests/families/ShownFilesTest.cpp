// A host stays free to overwrite or delete a picture the library shows, and to delete a video
// at once after clearing it or putting another medium in its place. One row per entry of the
// library that takes a file name: the file is set on its control through that entry and drawn,
// then written over and deleted while it shows (a picture), or deleted right after the host lets
// go of it (a video). The control still draws, shows what it showed until another medium is set,
// and answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../lcd/LcdTestKit.h"
#include "Narrow.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "ScratchClip.h"
#include "ScratchFolder.h"
#include "ScratchGif.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// Every medium is one flat colour: a picture, every frame of a strip and of a GIF alike, so
// a strip shows the same whatever frame a state picks and a GIF stepping on shows no change.
constexpr DWORD kShownArgb = 0xFF00FFFF;
constexpr int kPictureSide = 64;
constexpr int kStripFrames = 4;
constexpr UINT kControlId = 71;
const CRect kDialogPlace(0, 0, 200, 150);
const CRect kControl(20, 20, 260, 140);
const CRect kScreen(0, 0, 480, 480);
// Four cells a row of 50 × 50 from (2, 2).
const CRect kPicker(0, 0, 220, 120);
// The middle of the 430-pixel disc.
const CRect kPreview(0, 0, 200, 200);
const CRect kView(0, 0, 320, 240);
const CRect kTiles(0, 0, 960, 220); // the 300 × 217 tiles are laid out centred three a row
// Not a picture any more: what the host writes over a shown file.
const std::vector<BYTE> kOtherBytes { 'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e' };

enum class Medium { Picture, Strip, Gif, Video };

// What a control shows, 0x00RRGGBB pixels row by row.
using Look = std::vector<DWORD>;

Look lookOf(const DecodedFrame& frame)
{
    Look pixels;
    pixels.reserve(frame.bgr.total());
    for (int y = 0; y < frame.bgr.rows; ++y)
        for (int x = 0; x < frame.bgr.cols; ++x)
            pixels.push_back(frame.rgb(x, y));
    return pixels;
}

// Pixels that differ between two looks; every pixel when their sizes differ.
int changedPixels(const Look& before, const Look& after)
{
    if (before.size() != after.size())
        return static_cast<int>(std::max(before.size(), after.size()));
    int changed = 0;
    for (size_t i = 0; i < before.size(); ++i)
        changed += before[i] != after[i] ? 1 : 0;
    return changed;
}

// Pixels of a colour, within what a JPEG frame makes of a flat area.
int pixelsOf(const Look& look, DWORD argb)
{
    int count = 0;
    for (DWORD pixel : look)
        count += nearColor(pixel, argb & 0x00FFFFFF, 24) ? 1 : 0;
    return count;
}

// Where a row's control lives, and the media a host puts in place of a video.
struct Stage {
    NotedDialog& dialog;
    CString file;          // what the entry takes: a name in the skin folder or a full path
    CString otherPicture;  // full paths
    CString otherClip;
};

// A row's control with its file handed over, as the loop drives it.
struct Shown {
    std::function<void()> set;     // the public entry, given the file
    std::function<Look()> look;    // paints and reads back
    std::function<void()> letGo;   // a video: what the host does to clear or replace it
    std::function<void()> answer;  // EXPECTs the control still answers; when empty, a click through the dialog
    std::shared_ptr<void> owned;   // what the row made beside the dialog's controls
};

struct Row {
    const char* entry;
    Medium medium;
    const wchar_t* name;
    bool inSkin;   // else written to the scratch folder and handed over by its full path
    bool drawn;    // the medium shows in the look (false: kept but not drawn, or hidden while still)
    Shown (*show)(Stage& stage);
};

// ---- stages

// The dialog shrunk to the control and a margin: a look paints and reads its whole client area.
template <class T>
T* fitted(Stage& stage, T* control)
{
    constexpr int kMargin = 10;
    const CRect place = control->GetRect();
    ::SetWindowPos(stage.dialog.GetSafeHwnd(), nullptr, 0, 0, place.right + kMargin, place.bottom + kMargin,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return control;
}

template <class T>
T* adopt(Stage& stage, T* control)
{
    return fitted(stage, stage.dialog.adopt(control));
}

Look dialogLook(NotedDialog& dialog)
{
    return dialog.shot()->rgbPixels();
}

Shown shownBy(std::function<void()> set, std::function<Look()> look)
{
    Shown shown;
    shown.set = std::move(set);
    shown.look = std::move(look);
    return shown;
}

// A control of the dialog. A host asks for a full redraw after a new image: controls that keep
// their looks draw them again.
Shown onDialog(Stage& stage, MControl* control, std::function<void()> set)
{
    NotedDialog& dialog = stage.dialog;
    return shownBy(
        [control, set = std::move(set)] {
            set();
            if (control)
                control->UpdateControl(1, 0);
        },
        [&dialog] { return dialogLook(dialog); });
}

// The renderer's frame as a host pulls it, published by the window's paint.
Look frameLook(NotedDialog& dialog, LEDModeCtrl& lcd)
{
    lcd.SetUpdate(0, 0);
    dialog.shot();
    const DecodedFrame frame = decodeFrame(pullFrame(lcd));
    EXPECT_TRUE(frame.complete()) << "no frame published";
    return lookOf(frame);
}

OpenLcd* renderer(Stage& stage, int mode, int screenType = LEDScreenSquare)
{
    auto* lcd = adopt(stage, new OpenLcd(&stage.dialog, kControlId, kScreen, 1, 1));
    lcd->SetLEDScreenType(screenType);
    lcd->ResetLED();
    lcd->SetLEDMode(mode);
    return lcd;
}

Shown onLcd(Stage& stage, LEDModeCtrl* lcd, std::function<void()> set)
{
    NotedDialog& dialog = stage.dialog;
    return shownBy(std::move(set), [&dialog, lcd] { return frameLook(dialog, *lcd); });
}

// A medium of the file screen or the clock faces, set through setter with its kind; a video
// row lets go of it through letGo, given the renderer and the stage.
using MediumSetter = void (LEDModeCtrl::*)(CString, int);
Shown onLcdMedium(Stage& stage, int mode, MediumSetter setter, int kind,
                  std::function<void(LEDModeCtrl&, const Stage&)> letGo = nullptr)
{
    auto* lcd = renderer(stage, mode);
    Shown shown = onLcd(stage, lcd, [lcd, setter, kind, f = stage.file] { (lcd->*setter)(f, kind); });
    if (letGo)
        shown.letGo = [lcd, letGo, &stage] { letGo(*lcd, stage); };
    return shown;
}

// The LCD medium picker with one item added by the row's file.
Shown onPicker(Stage& stage, int kind)
{
    auto* media = adopt(stage, new LEDImageCtrl(&stage.dialog, kControlId, kPicker, 1, 1));
    media->SetLEDScreenType(LEDScreenSquare);
    return onDialog(stage, media, [media, kind, f = stage.file] { media->AddItem(f, kind); });
}
LEDImageCtrl* pickerOf(Stage& stage)
{
    return dynamic_cast<LEDImageCtrl*>(stage.dialog.GetControl(kControlId));
}

// The start-up preview showing the row's file; a video shows a frame once its tick has read one.
Shown onPreview(Stage& stage, int kind)
{
    auto* preview = adopt(stage, new LEDImageCtrl2(&stage.dialog, kControlId, kPreview, 1, 1));
    preview->SetLEDType(LEDScreenCircle);
    return onDialog(stage, preview, [preview, kind, f = stage.file] {
        preview->SetImageFile(f, kind);
        if (kind == MediaKindVideo)
            preview->OnControlTimer();
    });
}
LEDImageCtrl2* previewOf(Stage& stage)
{
    return dynamic_cast<LEDImageCtrl2*>(stage.dialog.GetControl(kControlId));
}
// An answer: the preview reports the medium it holds.
std::function<void()> holds(LEDImageCtrl2* preview, const CString& path, int kind)
{
    return [preview, path, kind] {
        CString held;
        int heldKind = -1;
        preview->GetItemInfo(held, heldKind);
        EXPECT_TRUE(held == path && heldKind == kind) << "the preview does not hold the medium it was given";
    };
}

// ClockCtrl's raw frame, which it draws for the device from its own copies.
Shown onClock(Stage& stage, std::function<void(ClockCtrl&)> set)
{
    auto* clock = adopt(stage, new ClockCtrl(&stage.dialog, kControlId, kControl, 1, 1));
    Shown shown = shownBy([clock, set] { set(*clock); }, [clock] {
        Look pixels(ClockCtrl::kFrameBytes / 4);
        EXPECT_TRUE(clock->GetLEDData(reinterpret_cast<BYTE*>(pixels.data())));
        for (DWORD& pixel : pixels)
            pixel &= 0x00FFFFFF;
        return pixels;
    });
    shown.answer = [clock] { EXPECT_TRUE(clock->GetLEDData(std::vector<BYTE>(ClockCtrl::kFrameBytes).data())); };
    return shown;
}

// The tips and the splash are windows of their own: each is drawn into a canvas as its paint
// draws it (a layered window cannot be read back).
class Balloon : public MAirBladder {
public:
    using MAirBladder::RenderTip;
};
class KeyTip : public CKeyboardTips {
public:
    using CKeyboardTips::RenderTips;
};
class Splash : public LoadingWnd {
public:
    using LoadingWnd::RenderBackBuffer;
};

template <class Tip, class Render>
Look windowLook(Tip& tip, Render render)
{
    CRect client;
    ::GetClientRect(tip.GetSafeHwnd(), &client);
    DibCanvas canvas(std::max<int>(client.Width(), 1), std::max<int>(client.Height(), 1), 0);
    render(tip, canvas, client);
    return canvas.rgbPixels();
}

// A pointer move over a window of its own, sent: it must come back.
template <class Window>
void movedOver(Window& window)
{
    EXPECT_TRUE(::IsWindow(window.GetSafeHwnd()));
    window.SendMessageW(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
}

constexpr DWORD kTipStyle = 0x96000080;

Shown onBalloon(Stage& stage, int (MAirBladder::*load)(CString))
{
    auto tip = std::make_shared<Balloon>();
    tip->Create(nullptr, L"AirBladder Window", kTipStyle, 0, CRect(), nullptr);
    tip->SetAirBladderMsg(L"Fan speed", POINT { 600, 400 }, AirBladderTypeNoAutoHide, AirBladderModeBelow);
    Balloon* t = tip.get();
    const CString file = stage.file;
    Shown shown = shownBy([t, load, file] { EXPECT_EQ(1, (t->*load)(file)); }, [t] {
        return windowLook(*t, [](Balloon& b, DibCanvas& c, const CRect& r) { b.RenderTip(c.dc(), r); });
    });
    shown.answer = [t] { movedOver(*t); };
    shown.owned = tip;
    return shown;
}

Shown onSplash(Stage& stage, std::function<void(Splash&)> set)
{
    auto splash = std::shared_ptr<Splash>(new Splash, [](Splash* s) {
        s->DestroyWindow();
        delete s;
    });
    EXPECT_NE(nullptr, splash->CreateDlg(stage.dialog.GetSafeHwnd(), CRect(100, 100, 500, 400)));
    ::KillTimer(splash->GetSafeHwnd(), LoadingWnd::kAnimationTimerId);
    Splash* s = splash.get();
    Shown shown = shownBy([s, set] { set(*s); }, [s] {
        DibCanvas canvas(400, 300, 0);
        s->RenderBackBuffer(canvas.dc(), canvas.width(), canvas.height());
        return canvas.rgbPixels();
    });
    shown.answer = [s] { movedOver(*s); };
    shown.owned = splash;
    return shown;
}

// ---- the rows

const Row kRows[] = {
    // The LCD renderer: skin pictures each on a screen that draws it, and the media of the file
    // screen and of the clock faces by full path.
    { "LEDModeCtrl::SetBKImage", Medium::Picture, L"shown_lcd_disc.png", true, true,
      [](Stage& s) {
          auto* lcd = renderer(s, LEDModeFile, LEDScreenCircle);
          return onLcd(s, lcd, [lcd, f = s.file] { EXPECT_EQ(1, lcd->SetBKImage(f)); });
      } },
    { "LEDModeCtrl::SetImage", Medium::Strip, L"shown_lcd_strip.png", true, true,
      [](Stage& s) {
          auto* lcd = renderer(s, LEDModeWeather);
          return onLcd(s, lcd, [lcd, f = s.file] { EXPECT_EQ(1, lcd->SetImage(f, kStripFrames)); });
      } },
    { "LEDModeCtrl::SetIcon1Image", Medium::Picture, L"shown_lcd_icon.png", true, true,
      [](Stage& s) {
          auto* lcd = renderer(s, LEDModeClock);
          return onLcd(s, lcd, [lcd, f = s.file] { lcd->SetIcon1Image(f); });
      } },
    { "LEDModeCtrl::SetCPUScaleImage", Medium::Picture, L"shown_lcd_scale.png", true, true,
      [](Stage& s) {
          auto* lcd = renderer(s, LEDModeSystemInfo);
          lcd->SetSensorType(14); // the pie dial, over its scale picture
          return onLcd(s, lcd, [lcd, f = s.file] { lcd->SetCPUScaleImage(f, f); });
      } },
    { "LEDModeCtrl::SetHMSImage", Medium::Picture, L"shown_lcd_hand.png", true, true,
      [](Stage& s) {
          auto* lcd = renderer(s, LEDModeWeather);
          return onLcd(s, lcd, [lcd, f = s.file] { lcd->SetHMSImage(f, f, f); });
      } },
    { "LEDModeCtrl::SetFileImage picture", Medium::Picture, L"file.png", false, true,
      [](Stage& s) { return onLcdMedium(s, LEDModeFile, &LEDModeCtrl::SetFileImage, MediaKindPicture); } },
    { "LEDModeCtrl::SetFileImage GIF", Medium::Gif, L"file.gif", false, true,
      [](Stage& s) { return onLcdMedium(s, LEDModeFile, &LEDModeCtrl::SetFileImage, MediaKindGif); } },
    { "LEDModeCtrl::SetFileImage video, cleared", Medium::Video, L"file.avi", false, true,
      [](Stage& s) {
          return onLcdMedium(s, LEDModeFile, &LEDModeCtrl::SetFileImage, MediaKindVideo,
                             [](LEDModeCtrl& lcd, const Stage&) { lcd.SetFileImage(L"", MediaKindPicture); });
      } },
    { "LEDModeCtrl::SetFileImage video, replaced by a video", Medium::Video, L"file2.avi", false, true,
      [](Stage& s) {
          return onLcdMedium(s, LEDModeFile, &LEDModeCtrl::SetFileImage, MediaKindVideo,
                             [](LEDModeCtrl& lcd, const Stage& stage) { lcd.SetFileImage(stage.otherClip, MediaKindVideo); });
      } },
    { "LEDModeCtrl::SetClockFileImage picture", Medium::Picture, L"clock.png", false, true,
      [](Stage& s) { return onLcdMedium(s, LEDModeClock, &LEDModeCtrl::SetClockFileImage, MediaKindPicture); } },
    { "LEDModeCtrl::SetClockFileImage GIF", Medium::Gif, L"clock.gif", false, true,
      [](Stage& s) { return onLcdMedium(s, LEDModeClock, &LEDModeCtrl::SetClockFileImage, MediaKindGif); } },
    { "LEDModeCtrl::SetClockFileImage video, cleared", Medium::Video, L"clock.avi", false, true,
      [](Stage& s) {
          return onLcdMedium(s, LEDModeClock, &LEDModeCtrl::SetClockFileImage, MediaKindVideo,
                             [](LEDModeCtrl& lcd, const Stage&) { lcd.SetClockFileImage(L"", MediaKindPicture); });
      } },
    { "LEDModeCtrl::SetClockFileImage video, replaced by a picture", Medium::Video, L"clock2.avi", false, true,
      [](Stage& s) {
          return onLcdMedium(s, LEDModeClock, &LEDModeCtrl::SetClockFileImage, MediaKindVideo,
                             [](LEDModeCtrl& lcd, const Stage& stage) { lcd.SetClockFileImage(stage.otherPicture, MediaKindPicture); });
      } },

    // The analogue clock's raw frame.
    { "ClockCtrl::SetImage", Medium::Picture, L"shown_clock_ground.png", true, true,
      [](Stage& s) { return onClock(s, [f = s.file](ClockCtrl& c) { EXPECT_EQ(1, c.SetImage(f, 1)); }); } },
    // Kept; the frame is the control image and the second hand.
    { "ClockCtrl::SetCircleImage", Medium::Picture, L"shown_clock_circle.png", true, false,
      [](Stage& s) { return onClock(s, [f = s.file](ClockCtrl& c) { c.SetCircleImage(f); }); } },
    { "ClockCtrl::SetHMSImage", Medium::Picture, L"shown_clock_hand.png", true, true,
      [](Stage& s) { return onClock(s, [f = s.file](ClockCtrl& c) { c.SetHMSImage(f, f, f); }); } },

    // Pictures.
    { "MPicture::SetImage", Medium::Picture, L"shown_picture.png", true, true,
      [](Stage& s) {
          auto* picture = adopt(s, new MPicture(&s.dialog, kControlId, kControl, 1, 1));
          return onDialog(s, picture, [picture, f = s.file] { EXPECT_EQ(1, picture->SetImage(f, 1)); });
      } },
    { "CGifPicture::SetImage", Medium::Gif, L"shown_gif_picture.gif", true, true,
      [](Stage& s) {
          auto* gif = adopt(s, new CGifPicture(&s.dialog, kControlId, kControl, 1, 1));
          return onDialog(s, gif, [gif, f = s.file] { EXPECT_EQ(1, gif->SetImage(f, 1)); });
      } },
    // A still slider hides: it shows while sliding in.
    { "CSliderPicture::SetImage", Medium::Picture, L"shown_slider.png", true, false,
      [](Stage& s) {
          auto* slider = adopt(s, new CSliderPicture(&s.dialog, kControlId, kControl, 1, 1));
          return onDialog(s, slider, [slider, f = s.file] { EXPECT_EQ(1, slider->SetImage(f, 1)); });
      } },
    { "CPhotoFrame::SetPhotoFrame", Medium::Picture, L"shown_photo.png", true, true,
      [](Stage& s) {
          auto* photo = adopt(s, new CPhotoFrame(&s.dialog, kControlId, kControl, 1, 1));
          return onDialog(s, photo, [photo, f = s.file] { EXPECT_EQ(1, photo->SetPhotoFrame(f, 1)); });
      } },
    { "CPhotoFrame::SetImage", Medium::Strip, L"shown_photo_frame_strip.png", true, true,
      [](Stage& s) {
          auto* photo = adopt(s, new CPhotoFrame(&s.dialog, kControlId, kControl, 1, 1));
          return onDialog(s, photo, [photo, f = s.file] { EXPECT_EQ(1, photo->SetImage(f, kStripFrames)); });
      } },

    // Buttons: the strip through the paint manager's image cache, the icons loaded by the button.
    { "MButton::SetImage", Medium::Strip, L"shown_button.png", true, true,
      [](Stage& s) {
          auto* button = fitted(s, s.dialog.create<MButton>(L"MButton", kControlId, kControl, L"Go"));
          return onDialog(s, button, [button, f = s.file] { EXPECT_EQ(1, button->SetImage(f, kStripFrames)); });
      } },
    { "CImageButton::SetIconImage", Medium::Strip, L"shown_image_button_icon.png", true, true,
      [](Stage& s) {
          auto* button = fitted(s, s.dialog.create<CImageButton>(L"CImageButton", kControlId, kControl, L"Go"));
          return onDialog(s, button, [button, f = s.file] { EXPECT_EQ(1, button->SetIconImage(f, kStripFrames)); });
      } },
    // Kept for the host; the button draws its strip and caption only.
    { "CIconButton::SetIconImage", Medium::Strip, L"shown_icon_button_icon.png", true, false,
      [](Stage& s) {
          auto* button = fitted(s, s.dialog.create<CIconButton>(L"CIconButton", kControlId, kControl, L"Go"));
          return onDialog(s, button, [button, f = s.file] { EXPECT_EQ(1, button->SetIconImage(f, kStripFrames)); });
      } },

    // Text fields' icons.
    { "MEdit::SetIconImage", Medium::Strip, L"shown_edit_icon.png", true, true,
      [](Stage& s) {
          auto* edit = fitted(s, s.dialog.create<MEdit>(L"MEdit", kControlId, kControl));
          return onDialog(s, edit, [edit, f = s.file] { EXPECT_EQ(1, edit->SetIconImage(f, kStripFrames)); });
      } },
    // Kept for the host; the rich edit draws no icon.
    { "MRichEdit::SetIconImage", Medium::Strip, L"shown_rich_edit_icon.png", true, false,
      [](Stage& s) {
          auto* edit = fitted(s, s.dialog.create<MRichEdit>(L"MRichEdit", kControlId, kControl));
          return onDialog(s, edit, [edit, f = s.file] { EXPECT_EQ(1, edit->SetIconImage(f, kStripFrames)); });
      } },

    // Lists: the skin strip of every row, and an image list's icons by full path.
    { "DListBox::SetImage", Medium::Strip, L"shown_list_strip.png", true, true,
      [](Stage& s) {
          auto* list = adopt(s, new DListBox(&s.dialog, kControlId, kControl, 1));
          list->AddString(L"Row", 0);
          return onDialog(s, list, [list, f = s.file] { EXPECT_EQ(1, list->SetImage(f, kStripFrames)); });
      } },
    // The list's own strip, through the image cache, is drawn behind a row being renamed only.
    { "MListBox::SetImage", Medium::Strip, L"shown_list_back.png", true, false,
      [](Stage& s) {
          auto* list = adopt(s, new MListBox(&s.dialog, kControlId, kControl, 1));
          list->AddString(L"Row", 0);
          return onDialog(s, list, [list, f = s.file] { EXPECT_EQ(1, list->SetImage(f, kStripFrames)); });
      } },
    { "MImageList::InsertImage", Medium::Picture, L"list_icon.png", false, true,
      [](Stage& s) {
          auto images = std::make_shared<MImageList>();
          images->SetDrawImgSize(24, 24);
          auto* list = adopt(s, new MListBox(&s.dialog, kControlId, kControl, 1));
          list->AddString(L"Row", 0);
          list->SetImageList(images.get());
          MImageList* kept = images.get();
          Shown shown = onDialog(s, list, [kept, f = s.file] { EXPECT_EQ(0, kept->InsertImage(-1, f, 5, 1)); });
          // The list lets go of the image list before it goes.
          shown.owned = std::shared_ptr<void>(kept, [images, list](void*) { list->SetImageList(nullptr); });
          return shown;
      } },

    // The window's background through its paint manager.
    { "PaintManager::LoadBKImage", Medium::Picture, L"shown_dialog_back.png", true, true,
      [](Stage& s) {
          NotedDialog& dialog = s.dialog;
          return onDialog(s, nullptr, [&dialog, f = s.file] { EXPECT_EQ(1, dialog.LoadBKImage(f)); });
      } },

    // The cache entry itself: the same record answers for the name after the file has gone.
    { "PaintManager::AddImgResInfo", Medium::Strip, L"shown_cached.png", true, false,
      [](Stage& s) {
          PaintManager& manager = *s.dialog.GetPaintManager();
          auto record = std::make_shared<const ImgResInfo*>(nullptr);
          Shown shown = onDialog(s, nullptr, [&manager, record, f = s.file] {
              *record = manager.AddImgResInfo(f, kStripFrames);
              EXPECT_TRUE(*record && (*record)->m_pImage) << "no image cached";
          });
          shown.answer = [&manager, record, f = s.file] {
              EXPECT_EQ(*record, manager.AddImgResInfo(f, kStripFrames)) << "the cache forgot the image";
          };
          return shown;
      } },

    // Tips and the splash.
    { "MAirBladder::LoadBKImage", Medium::Picture, L"shown_tip_back.png", true, true,
      [](Stage& s) { return onBalloon(s, &MAirBladder::LoadBKImage); } },
    // Only the balloon's background is drawn.
    { "MAirBladder::LoadArrowLImage", Medium::Picture, L"shown_tip_arrow.png", true, false,
      [](Stage& s) { return onBalloon(s, &MAirBladder::LoadArrowLImage); } },
    // Kept but not drawn: the key tip paints its own card.
    { "CKeyboardTips::LoadBKImage", Medium::Picture, L"shown_key_tip_back.png", true, false,
      [](Stage& s) {
          auto tip = std::make_shared<KeyTip>();
          tip->Create(s.dialog.GetSafeHwnd(), L"KeyboardTip Window", kTipStyle, 0, CRect(), nullptr);
          tip->SetAirBladderMsg(L"Key", L"Second", L"Third", POINT { 600, 400 });
          KeyTip* t = tip.get();
          Shown shown = shownBy([t, f = s.file] { EXPECT_EQ(1, t->LoadBKImage(f)); }, [t] {
              return windowLook(*t, [](KeyTip& k, DibCanvas& c, const CRect& r) { k.RenderTips(c.dc(), r); });
          });
          shown.answer = [t] { movedOver(*t); };
          shown.owned = tip;
          return shown;
      } },
    { "LoadingWnd::LoadBKImage", Medium::Picture, L"shown_splash_back.png", true, true,
      [](Stage& s) { return onSplash(s, [f = s.file](Splash& w) { EXPECT_EQ(1, w.LoadBKImage(f)); }); } },
    { "LoadingWnd::LoadGifImage", Medium::Gif, L"shown_splash.gif", true, true,
      [](Stage& s) { return onSplash(s, [f = s.file](Splash& w) { w.LoadGifImage(f); }); } },
    // Kept for the host; the splash animates its GIF.
    { "LoadingWnd::LoadAnimateImage", Medium::Picture, L"shown_splash_frame.png", true, false,
      [](Stage& s) { return onSplash(s, [f = s.file](Splash& w) { EXPECT_EQ(1, w.LoadAnimateImage(f, 0)); }); } },

    // The LCD pickers and media views, by full path.
    { "LEDImageCtrl::AddItem picture", Medium::Picture, L"pick.png", false, true,
      [](Stage& s) {
          Shown shown = onPicker(s, MediaKindPicture);
          LEDImageCtrl* media = pickerOf(s);
          shown.answer = [media, &dialog = s.dialog] {
              dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(20, 20));
              EXPECT_TRUE(pumpUntil([&] { return media->GetSelectItem() == 0; })) << "a click picks no item";
          };
          return shown;
      } },
    { "LEDImageCtrl::AddItem GIF", Medium::Gif, L"pick.gif", false, true,
      [](Stage& s) { return onPicker(s, MediaKindGif); } },
    // The thumbnail of a video is a picture of its own: the clip is closed once it is made.
    { "LEDImageCtrl::AddItem video", Medium::Video, L"pick.avi", false, true,
      [](Stage& s) { return onPicker(s, MediaKindVideo); } },
    { "LEDImageCtrl2::SetImageFile picture", Medium::Picture, L"startup.png", false, true,
      [](Stage& s) {
          Shown shown = onPreview(s, MediaKindPicture);
          shown.answer = holds(previewOf(s), s.file, MediaKindPicture);
          return shown;
      } },
    { "LEDImageCtrl2::SetImageFile GIF", Medium::Gif, L"startup.gif", false, true,
      [](Stage& s) { return onPreview(s, MediaKindGif); } },
    { "LEDImageCtrl2::SetImageFile video, replaced by a picture", Medium::Video, L"startup.avi", false, true,
      [](Stage& s) {
          Shown shown = onPreview(s, MediaKindVideo);
          LEDImageCtrl2* preview = previewOf(s);
          shown.letGo = [preview, other = s.otherPicture] { preview->SetImageFile(other, MediaKindPicture); };
          shown.answer = holds(preview, s.otherPicture, MediaKindPicture);
          return shown;
      } },
    { "LEDImageCtrl2::SetImageFile video, let go with DeleteItemFile", Medium::Video, L"startup2.avi", false, true,
      [](Stage& s) {
          Shown shown = onPreview(s, MediaKindVideo);
          shown.letGo = [preview = previewOf(s)] { preview->DeleteItemFile(0); };
          return shown;
      } },
    { "GIFViewCtrl::SetFileName GIF", Medium::Gif, L"view.gif", false, true,
      [](Stage& s) {
          auto* view = adopt(s, new GIFViewCtrl(&s.dialog, kControlId, kView, 1, 1));
          return onDialog(s, view, [view, f = s.file] { EXPECT_EQ(1, view->SetFileName(f, MediaKindGif)); });
      } },
    { "GIFViewCtrl::SetFileName picture", Medium::Picture, L"view.png", false, true,
      [](Stage& s) {
          auto* view = adopt(s, new GIFViewCtrl(&s.dialog, kControlId, kView, 1, 1));
          return onDialog(s, view, [view, f = s.file] { EXPECT_EQ(1, view->SetFileName(f, MediaKindPicture)); });
      } },
    { "OpenCVViewCtrl::SetFileName video, stopped", Medium::Video, L"view.avi", false, true,
      [](Stage& s) {
          auto* view = adopt(s, new OpenCVViewCtrl(&s.dialog, kControlId, kView, 1, 1));
          Shown shown = onDialog(s, view, [view, f = s.file] { EXPECT_EQ(1, view->SetFileName(f, 1)); });
          shown.letGo = [view] { view->StopVideoView(); };
          return shown;
      } },
    { "OpenCVViewCtrl::SetFileName video, replaced by a video", Medium::Video, L"view2.avi", false, true,
      [](Stage& s) {
          auto* view = adopt(s, new OpenCVViewCtrl(&s.dialog, kControlId, kView, 1, 1));
          Shown shown = onDialog(s, view, [view, f = s.file] { EXPECT_EQ(1, view->SetFileName(f, 1)); });
          shown.letGo = [view, other = s.otherClip] { EXPECT_EQ(1, view->SetFileName(other, 1)); };
          return shown;
      } },

    // Device views.
    { "CDeviceCtrl::AddDevice", Medium::Picture, L"shown_device.png", true, true,
      [](Stage& s) {
          auto* tiles = adopt(s, new CDeviceCtrl(&s.dialog, kControlId, kTiles, 1, 1));
          return onDialog(s, tiles, [tiles, f = s.file] { tiles->AddDevice(L"Pump", 1, 2, true, f); });
      } },
    // Kept: only its size places the tiles' check area.
    { "CDeviceCtrl::SetCheckImage", Medium::Picture, L"shown_device_check.png", true, false,
      [](Stage& s) {
          auto* tiles = adopt(s, new CDeviceCtrl(&s.dialog, kControlId, kTiles, 1, 1));
          tiles->AddDevice(L"Pump", 1, 2, true, L"");
          return onDialog(s, tiles, [tiles, f = s.file] { EXPECT_EQ(1, tiles->SetCheckImage(f)); });
      } },
    { "KeyboardCtrl::SetKeyboardImage", Medium::Picture, L"shown_keyboard.png", true, true,
      [](Stage& s) {
          auto* keys = fitted(s, s.dialog.create<KeyboardCtrl>(L"KeyboardCtrl", kControlId, CRect(0, 0, 340, 140)));
          keys->SetWidthAndHeight(300, 100);
          keys->SetControlRect(CRect(0, 0, 340, 140));
          keys->SetKeyboardCtrlMode(KeyboardCtrl::ModeCustom);
          return onDialog(s, keys, [keys, f = s.file] { keys->SetKeyboardImage(f); });
      } },
};

// Writes the row's medium where its entry reads it.
std::unique_ptr<ScratchFile> writeMedium(const Row& row, const ScratchFolder& folder)
{
    const CString where = row.inSkin ? GetSkinPath() : folder.path();
    switch (row.medium) {
    case Medium::Picture:
        return std::make_unique<ScratchPng>(where, row.name, kPictureSide, kPictureSide,
                                            std::vector<FilledRect> { { 0, 0, kPictureSide, kPictureSide, kShownArgb } });
    case Medium::Strip:
        return std::make_unique<ScratchStrip>(where, row.name, kPictureSide / kStripFrames, kPictureSide / kStripFrames,
                                              std::vector<DWORD>(kStripFrames, kShownArgb));
    case Medium::Gif:
        return std::make_unique<ScratchGif>(where, row.name, kPictureSide, kPictureSide,
                                            std::vector<DWORD> { kShownArgb, kShownArgb });
    case Medium::Video:
        return std::make_unique<ScratchClip>(where, row.name, ScratchClip::Mjpg, 25, 3, kPictureSide, kPictureSide);
    }
    return nullptr;
}

// Other bytes written over the file, then the file deleted, each at once: the errors, 0 when done.
std::pair<DWORD, DWORD> overwriteAndDelete(const CString& path)
{
    DWORD overwrite = 0;
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        overwrite = ::GetLastError();
    } else {
        DWORD written = 0;
        ::WriteFile(file, kOtherBytes.data(), static_cast<DWORD>(kOtherBytes.size()), &written, nullptr);
        ::CloseHandle(file);
    }
    const DWORD removal = ::DeleteFileW(path) ? 0 : ::GetLastError();
    return { overwrite, removal };
}

} // namespace

TEST(ShownFiles, EveryEntryLetsTheHostOverwriteAndDeleteItsPictureAndDeleteAVideoItLetGo)
{
    PinnedClock clock(100000);
    const ScratchFolder folder(L"shown-files");
    // Outlive every row's controls: a replaced video's control holds the clip until it goes.
    const ScratchPng otherPicture(GetSkinPath(), L"shown_other.png", kPictureSide, kPictureSide,
                                  { { 0, 0, kPictureSide, kPictureSide, 0xFFFF0000 } });
    const ScratchClip otherClip(folder.path(), L"other.avi", ScratchClip::Mjpg, 25, 3, kPictureSide, kPictureSide);
    ASSERT_TRUE(otherPicture.written() && otherClip.written());

    for (const Row& row : kRows) {
        const std::unique_ptr<ScratchFile> file = writeMedium(row, folder);
        const std::string named = std::string(row.entry) + " with " + narrow(file->path());
        SCOPED_TRACE(named);
        ASSERT_TRUE(file->written());
        // After the file: the dialog, its controls and what the row made go first.
        NotedDialog dialog(kDialogPlace);
        Stage stage { dialog, row.inSkin ? CString(row.name) : file->path(), otherPicture.path(), otherClip.path() };
        const Shown shown = row.show(stage);

        const Look bare = shown.look();
        shown.set();
        const Look showing = shown.look();
        if (row.drawn) {
            EXPECT_GT(changedPixels(bare, showing), 0) << named << ": the medium does not show";
            if (row.medium != Medium::Video) {
                EXPECT_GT(pixelsOf(showing, kShownArgb), pixelsOf(bare, kShownArgb)) << named << ": the picture does not show";
            }
        }

        if (shown.letGo) {
            shown.letGo();
            EXPECT_TRUE(::DeleteFileW(file->path())) << named << ": cannot delete the video once let go, error "
                                                     << ::GetLastError();
            shown.look();
        } else {
            const auto [overwrite, removal] = overwriteAndDelete(file->path());
            EXPECT_EQ(0u, overwrite) << named << ": cannot write over the shown file";
            EXPECT_EQ(0u, removal) << named << ": cannot delete the shown file";
            EXPECT_EQ(0, changedPixels(showing, shown.look())) << named << ": what shows changed with the file";
        }

        if (shown.answer) {
            shown.answer();
        } else {
            CRect client;
            dialog.GetClientRect(&client);
            dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, client.CenterPoint());
            pumpMessages();
        }
        EXPECT_EQ(showing.size(), shown.look().size()) << named << ": the control no longer draws";
        EXPECT_TRUE(::IsWindow(dialog.GetSafeHwnd())) << named;
    }
}
