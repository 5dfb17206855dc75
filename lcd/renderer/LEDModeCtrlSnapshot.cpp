// The frame's snapshot: the one copy of the record every screen draws from, and the scope that
// takes it once per frame (or once per screen a derived class draws on its own).
//
// Threads: takeSnapshot runs under the state lock on the thread that draws; the snapshot is
// then read with the render lock held (or, for a screen drawn outside the renders, by the
// thread holding the state lock). Lock order: render lock, state lock, frame lock.
#include "lcd/renderer/LcdFrameSnapshot.h"

#include <algorithm>
#include <atomic>

#include "framework/Manager.h"
#include "lcd/media/VideoClip.h"
#include "lcd/renderer/TemperatureSetting.h"
#include "platform/TimeSource.h"

namespace KOVA {

namespace {
// The carousel text moves to the next item after this long.
constexpr DWORD kCarouselStepMs = 2000;

// Shared by every renderer of the process, so no two paint managers get the same number.
std::atomic<unsigned> g_managerSerials { 0 };

// A reference to the record's image, not a copy of its pixels.
template <class RecordImage>
void share(LcdPicture& picture, const RecordImage& image)
{
    picture.image = image.image;
    picture.width = image.width;
    picture.height = image.height;
}

template <class RecordImage, size_t N>
void share(LcdPicture (&pictures)[N], const RecordImage (&images)[N])
{
    for (size_t i = 0; i < N; ++i)
        share(pictures[i], images[i]);
}

template <size_t N>
void release(LcdPicture (&pictures)[N])
{
    for (LcdPicture& picture : pictures)
        picture.image.reset();
}
} // namespace

void LcdFrameSnapshot::ReleasePictures()
{
    disc.image.reset();
    strip.image.reset();
    release(icons);
    release(cpuScale);
    release(gpuScale);
    release(memoryScale);
    release(hands);
    media.image.reset();
    clockBackground.image.reset();
}

void LcdFrameSnapshotDeleter::operator()(LcdFrameSnapshot* snapshot) const
{
    delete snapshot;
}

const LcdFrameSnapshot& LEDModeCtrl::snapshot() const
{
    return *m_snapshot;
}

void LEDModeCtrl::takeSnapshot()
{
    LcdFrameSnapshot& s = *m_snapshot;
    s.rect = m_rect;
    s.width = m_rect.Width();
    s.height = m_rect.Height();
    s.screenType = m_screenType;
    s.ledMode = m_ledMode;
    s.on = m_switch;
    s.brightness = m_brightness;
    s.rotation = m_rotation;
    s.sensorLayout = m_sensorLayout;
    s.hardwareItem = m_hardwareItem;
    s.clockStyle = m_clockStyle;

    s.manager = m_manager;
    s.managerSerial = managerSerial();
    s.face = m_textFont;
    s.fontStyle = m_fontStyle;
    s.hint = m_textRenderingHint;
    s.scale = Manager::GetScaleValue();
    s.language = Manager::GetLanguage();

    s.label = m_textColor;
    s.background = m_backgroundColour;
    s.value = m_valueColour;
    s.accent = m_accentColour;
    s.title = m_titleColor;
    std::copy(std::begin(m_weatherColour), std::end(m_weatherColour), std::begin(s.weatherColour));
    std::copy(std::begin(m_weatherText), std::end(m_weatherText), std::begin(s.weatherText));

    s.values = m_hardwareInfo;
    s.fahrenheit = ShowsFahrenheit();
    TimeSource::LocalTime(s.now);

    s.layerVersion = m_layerVersion;
    s.layersCached = m_layersCached;

    share(s.disc, m_background);
    share(s.strip, m_stripImage);
    s.stripFrames = m_imageCount;
    share(s.icons, m_icons);
    share(s.cpuScale, m_cpuScale);
    share(s.gpuScale, m_gpuScale);
    share(s.memoryScale, m_memoryScale);
    share(s.hands, m_hands);

    share(s.media, m_media);
    s.mediaKind = m_mediaKind;
    s.frameIndex = m_frameIndex;
    s.imageCentre = m_imageCentre;
    s.imageScale = m_imageScale;
    share(s.clockBackground, m_clockBackground);
    s.clockMediaKind = m_clockMediaKind;
    s.clockFrameIndex = m_clockFrameIndex;
    s.clockFrameCount = m_clockFrameCount;
    s.clockMediaSerial = m_clockMediaSerial;
    s.videoOpen = m_video && m_video->IsOpen();

    s.carouselColour = m_carouselColour;
    s.carouselTextSize = m_carouselTextSize;
    s.carouselWidthFactor = m_carouselWidthFactor;
    s.carouselPosition = m_carouselPosition;
    s.captureWindow = m_captureWindow;
    s.capturePan = m_capturePan;
    s.captureScale = m_captureScale;
}

void LEDModeCtrl::InitControl(PaintManager* manager)
{
    ScopedLock lock(m_stateLock);
    noteManager(manager);
}

unsigned LEDModeCtrl::managerSerial()
{
    // A manager swapped in by an assignment, or forgotten as it went, is a change too.
    if (m_manager != m_numberedManager)
        noteManager(m_manager);
    return m_managerSerial;
}

void LEDModeCtrl::noteManager(PaintManager* manager)
{
    m_numberedManager = manager;
    m_managerSerial = manager ? ++g_managerSerials : 0;
    // The still layers hold texts drawn in the old manager's fonts.
    ++m_layerVersion;
}

LEDModeCtrl::FrameScope::FrameScope(LEDModeCtrl& lcd) : m_lcd(lcd)
{
    const DWORD self = ::GetCurrentThreadId();
    if (lcd.m_drawingThread.load() == self)
        return;
    m_outermost = true;
    {
        ScopedLock state(lcd.m_stateLock);
        lcd.takeSnapshot();
    }
    lcd.m_drawingThread = self;
}

LEDModeCtrl::FrameScope::~FrameScope()
{
    if (!m_outermost)
        return;
    {
        ScopedLock state(m_lcd.m_stateLock);
        m_lcd.m_snapshot->ReleasePictures();
    }
    m_lcd.m_drawingThread = 0;
}

bool LEDModeCtrl::nextCarouselItem(bool everyCall, int& item)
{
    ScopedLock lock(m_stateLock);
    if (m_carouselList.empty())
        return false;
    if (everyCall) {
        ++m_carouselIndex;
    } else {
        const DWORD now = TimeSource::Milliseconds();
        if (now - m_carouselStepTime > kCarouselStepMs) {
            ++m_carouselIndex;
            m_carouselStepTime = now;
        }
    }
    if (m_carouselIndex < 0 || m_carouselIndex >= static_cast<int>(m_carouselList.size()))
        m_carouselIndex = 0;
    item = static_cast<int>(m_carouselList[static_cast<size_t>(m_carouselIndex)]);
    return true;
}

} // namespace KOVA
