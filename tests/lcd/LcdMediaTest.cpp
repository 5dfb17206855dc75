// The LCD renderer's media: videos, GIFs and pictures made by the tests, loaded as a host loads
// them, stepped by the tick on a pinned clock and read back from the published frames.
#include "GdiObjectCount.h"
#include "InkScan.h"
#include "PumpUntil.h"
#include "LcdTestKit.h"
#include "RecordingControl.h"
#include "ScratchClip.h"
#include "ScratchFolder.h"
#include "lcd/media/GifWriter.h"
#include "lcd/media/VideoClip.h"

#include <atomic>

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

class MediaLcd : public OpenLcd {
public:
    using OpenLcd::OpenLcd;
    int frameIndex() const { return m_frameIndex; }
    int framePeriod() const { return m_framePeriod; }
    int frameCount(bool clock) const { return clock ? m_clockFrameCount : m_frameCount; }
    int mediaKind() const { return m_mediaKind; }
    bool hasPicture(bool clock) const { return (clock ? m_clockBackground : m_media).image != nullptr; }
    void jumpTo(int index) { m_frameIndex = index; }
    void placeFrames(CPoint centre, float scale)
    {
        m_imageCentre = centre;
        m_imageScale = scale;
    }
    int seeks() const { return m_video ? m_video->SeekCount() : 0; }
    // The clip frame the screen shows at its middle, -1 for none.
    int shownFrame() { return clipFrameOf(decodeFrame(pullFrame(*this)).rgb(240, 240)); }
};

std::unique_ptr<MediaLcd> fileScreen()
{
    auto lcd = std::make_unique<MediaLcd>(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    lcd->SetLEDScreenType(LEDScreenSquare);
    lcd->SetLEDMode(LEDModeFile);
    lcd->ResetLED();
    return lcd;
}

} // namespace

TEST(LcdMediaVideo, OneFrameATickReadingUpToFiveBehindSeekingFurtherAndWrapping)
{
    const ScratchFolder folder(L"lcd-media");
    const ScratchClip clip(folder.path(), L"count.avi", ScratchClip::Mjpg, 25, 100);
    ASSERT_TRUE(clip.written());
    PinnedClock clock(100000);
    auto lcd = fileScreen();
    lcd->SetFileImage(clip.path(), MediaKindVideo);
    ASSERT_EQ(lcd->framePeriod(), 40);
    // Tick j, j × 40 ms after the first, shows frame j; frame 99 is never read: the wrap seeks
    // to frame 0 and keeps frame 98 until frame 0 is read on the next tick.
    for (int j = 0; j <= 100; ++j) {
        EXPECT_EQ(lcd->OnControlTimer(), 0) << j;
        EXPECT_EQ(lcd->shownFrame(), j == 99 ? 98 : j % 100) << j;
        TimeSource::Advance(39);
        EXPECT_EQ(lcd->OnControlTimer(), 1) << j; // not due 39 ms after a frame
        TimeSource::Advance(1);
    }
    // The capture stands at frame 1. An index moved on (jump) is caught up by reading up to
    // five frames, by one seek beyond that; a capture ahead waits.
    struct Step { int jump, index, shown; };
    const Step steps[] = {
        { 3, 4, 3 },     // 3 behind: frames 1, 2, 3 read
        { 9, 10, 3 },    // 6 behind: seek to 10, nothing read yet
        { -1, 11, 10 },  // then read on from the seek
        { 5, 6, 10 },    // capture 5 ahead: nothing read
        { 20, 21, 10 },  // 10 behind: seek
        { 19, 20, 10 },  // capture ahead again
        { -1, 21, 10 },  // the index reaches the capture: nothing to read
        { -1, 22, 21 },
    };
    for (const Step& step : steps) {
        if (step.jump >= 0)
            lcd->jumpTo(step.jump);
        TimeSource::Advance(40);
        lcd->OnControlTimer();
        EXPECT_EQ(lcd->frameIndex(), step.index) << &step - steps;
        EXPECT_EQ(lcd->shownFrame(), step.shown) << &step - steps;
    }
}

TEST(LcdMediaVideo, AVideoThatCannotStepAsksForNoRepaint)
{
    const ScratchFolder folder(L"lcd-media");
    const ScratchClip clip(folder.path(), L"two.avi", ScratchClip::Mjpg, 25, 2);
    PinnedClock clock(300000);
    EventLog log;
    RecordingControl parent(nullptr, 1, CRect(0, 0, 480, 480), log);
    MediaLcd lcd(&parent, 2, CRect(0, 0, 480, 480), 1, 1);
    lcd.SetLEDMode(LEDModeFile);
    // Two frames step; a video that does not open closes the capture and leaves the kind a video.
    for (auto [path, repaints] : { std::pair(clip.path(), 1u), std::pair(folder / L"missing.avi", 0u) }) {
        lcd.SetFileImage(path, MediaKindVideo);
        parent.updates.clear();
        TimeSource::Advance(1000);
        lcd.OnControlTimer();
        EXPECT_EQ(lcd.mediaKind(), MediaKindVideo);
        EXPECT_EQ(parent.updates.size(), repaints);
    }
}

TEST(LcdMediaPeriods, EachMediumCountsItsFramesAndSetsThePeriodItsKindGives)
{
    const ScratchFolder folder(L"lcd-media");
    constexpr int kept = 777; // the period before each load
    struct Row { bool clock; int kind; std::vector<int> delays; double fps; const wchar_t* name; int count, period; };
    const Row rows[] = {
        { false, MediaKindGif, { 5, 20, 50, 7 }, 0, L"a.gif", 4, 70 }, // the last positive delay
        { false, MediaKindGif, { 0, 5, 0 }, 0, L"b.gif", 3, 50 },
        { false, MediaKindGif, { 1, 1 }, 0, L"c.gif", 2, 16 },           // never below 16 ms
        { false, MediaKindGif, { 0, 0, 0 }, 0, L"d.gif", 3, 100 },       // no positive delay
        { false, MediaKindGif, { 6, -1, -1 }, 0, L"e.gif", 3, 60 },      // delays of the first frame only
        { false, MediaKindGif, { -1, -1 }, 0, L"f.gif", 2, kept },       // no delays at all
        { false, MediaKindGif, { 9 }, 0, L"g.gif", 1, kept },            // one frame
        { false, MediaKindPicture, { 9, 9 }, 0, L"h.gif", 1, kept },     // a picture is one frame
        { true, MediaKindGif, { 0, 30 }, 0, L"i.gif", 2, 16 },           // the clock: first delay only
        { true, MediaKindGif, { 8, 50, 90 }, 0, L"j.gif", 3, 80 },
        { false, MediaKindVideo, {}, 25, L"k.avi", 12, 40 },
        { false, MediaKindVideo, {}, 60, L"l.mp4", 12, 16 },
        { true, MediaKindVideo, {}, 25, L"m.mp4", 12, 40 },
        { false, MediaKindVideo, {}, 0.5, L"n.avi", 12, 33 },            // rates that read as 0 ...
        { false, MediaKindVideo, {}, 2000, L"o.avi", 12, 33 },           // ... or above 1000 play at 30
        { false, MediaKindVideo, {}, 29.97, L"p.mp4", 12, 34 },          // whole frames a second
        { true, MediaKindVideo, {}, 23.976, L"q.mp4", 12, 43 },
    };
    // Made before the renderer, gone after it: GDI+ and the capture hold the files they read.
    std::vector<std::unique_ptr<ScratchFile>> files;
    MediaLcd lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        const bool video = row.kind == MediaKindVideo;
        const bool mp4 = CString(row.name).Right(3) == L"mp4";
        ScratchFile* file = video ? static_cast<ScratchFile*>(new ScratchClip(
                                        folder.path(), row.name, mp4 ? ScratchClip::Mp4v : ScratchClip::Mjpg, row.fps, 12))
                                  : new ScratchTimedGif(folder.path(), row.name, row.delays);
        files.emplace_back(file);
        ASSERT_TRUE(file->written());
        lcd.setFramePeriod(kept);
        (lcd.*(row.clock ? &LEDModeCtrl::SetClockFileImage : &LEDModeCtrl::SetFileImage))(file->path(), row.kind);
        EXPECT_EQ(lcd.frameCount(row.clock), row.count);
        EXPECT_EQ(lcd.framePeriod(), row.period);
        EXPECT_EQ(lcd.hasPicture(row.clock), !video);
    }
}

TEST(LcdMediaDraw, FramesOfAnyDepthAndChannelsDrawAtTheirOwnSizeScaledOrStretched)
{
    MediaLcd lcd(nullptr, 1, CRect(0, 0, 200, 200), 1, 1);
    lcd.placeFrames(CPoint(100, 100), 2.0f);
    const cv::Scalar bgr(40, 120, 200);
    int reported = 480; // not the frames' size: never read
    // 21 × 15 frames, rows of 63 bytes as 8-bit BGR: padded for GDI.
    for (auto [frame, rgb] : { std::pair(cv::Mat(15, 21, CV_8UC3, bgr), 0xC87828u),
                               std::pair(cv::Mat(15, 21, CV_8UC1, cv::Scalar(90)), 0x5A5A5Au),
                               std::pair(cv::Mat(15, 21, CV_8UC4, bgr), 0xC87828u),
                               std::pair(cv::Mat(15, 21, CV_16UC3, bgr * 257), 0xC87828u),
                               std::pair(cv::Mat(15, 21, CV_32FC3, bgr / 255), 0xC87828u) })
        for (bool stretched : { false, true }) {
            SCOPED_TRACE(frame.type());
            DibCanvas canvas(200, 200);
            HDC dc = canvas.dc();
            if (stretched)
                lcd.DrawFrame(dc, frame, reported, reported, CRect(10, 20, 60, 40));
            else
                lcd.DrawFrame(dc, frame, reported, reported);
            const Ink ink = scanInk(canvas, CRect(0, 0, 200, 200), 0, rgb, 2);
            EXPECT_EQ(ink.bounds, stretched ? CRect(10, 20, 59, 39) : CRect(79, 85, 120, 114)); // 42 × 30 about the centre
            EXPECT_EQ(ink.matching, ink.pixels);
        }
}

TEST(LcdMediaFiles, EmptyCutAndTextFilesFailAsLoadsDoAndLeakNothing)
{
    const ScratchFolder folder(L"lcd-media");
    const ScratchClip clip(folder.path(), L"whole.avi", ScratchClip::Mjpg, 25, 100);
    const ScratchTimedGif gif(folder.path(), L"whole.gif", { 5, 5, 5, 5 });
    const std::vector<BYTE> whole[] = { clip.read(), gif.read() };
    const std::vector<BYTE> text { 'n', 'o', ' ', 'c', 'l', 'i', 'p' };
    // Per medium: empty, its first half, text. A video that does not open keeps the kind
    // before it; a picture that does not load takes its kind and shows black. A cut clip plays
    // what it holds; what GDI+ makes of a cut GIF is its own.
    enum Shown { Black, AFrame, Unchecked };
    struct Row { bool video; std::vector<BYTE> bytes; Shown shown; };
    const Row rows[] = { { true, {}, Black }, { true, text, Black },
                         { true, { whole[0].begin(), whole[0].begin() + whole[0].size() / 2 }, AFrame },
                         { false, {}, Black }, { false, text, Black },
                         { false, { whole[1].begin(), whole[1].begin() + whole[1].size() / 2 }, Unchecked } };
    std::vector<std::unique_ptr<ScratchFile>> files;
    for (const Row& row : rows)
        files.emplace_back(new ScratchFile(folder.path(), CString(L"broken") + wchar_t(L'0' + files.size()), row.bytes));
    PinnedClock clock(200000);
    auto lcd = fileScreen();
    auto loadAll = [&] {
        for (const Row& row : rows) {
            SCOPED_TRACE(&row - rows);
            const int kind = row.video ? MediaKindVideo : MediaKindGif;
            const int before = lcd->mediaKind();
            lcd->SetFileImage(files[&row - rows]->path(), kind);
            lcd->SetClockFileImage(files[&row - rows]->path(), kind);
            EXPECT_EQ(lcd->mediaKind(), row.video && row.shown == Black ? before : kind);
            for (int tick = 0; tick < 3; ++tick, TimeSource::Advance(1000))
                lcd->OnControlTimer();
            if (row.shown != Unchecked) {
                EXPECT_EQ(lcd->shownFrame() >= 0, row.shown == AFrame);
            }
        }
    };
    const int gdi = warmGdiObjects(loadAll, 3);
    const long blocks = busyHeapBlocks();
    for (int round = 0; round < 5; ++round)
        loadAll();
    EXPECT_LT(busyHeapBlocks() - blocks, 5); // a capture or an image left behind is dozens
    EXPECT_EQ(gdiObjectsSettled(gdi), gdi);
}

// The clock face over a 30 fps video steps one frame a period: the capture reads on from
// frame to frame and never seeks back to where it already stands.
TEST(LcdMediaVideo, ClockVideoAtItsOwnRateMakesNoSeekAfterTheFirstOver300Frames)
{
    const ScratchFolder folder(L"lcd-media");
    const ScratchClip clip(folder.path(), L"clock.avi", ScratchClip::Mjpg, 30, 400);
    ASSERT_TRUE(clip.written());
    PinnedClock clock(10);
    MediaLcd lcd(nullptr, 1, CRect(0, 0, 480, 480), 1, 1);
    lcd.SetColockType(1);
    lcd.SetLEDMode(LEDModeClock);
    lcd.SetClockFileImage(clip.path(), MediaKindVideo);
    ASSERT_EQ(lcd.framePeriod(), 33);
    for (int frame = 0; frame < 300; ++frame) {
        TimeSource::Advance(33);
        lcd.OnControlTimer();
    }
    EXPECT_LE(lcd.seeks(), 1);
    EXPECT_TRUE(decodeFrame(pullFrame(lcd)).complete());
}

namespace {
// Counts its own fast-timer ticks.
class Ticker : public MControl {
public:
    explicit Ticker(MObject* parent) : MControl(parent, 90, CRect(0, 0, 1, 1), 1, 1, 0) {}
    void DrawControl(HDC& dc, CRect) override { MRender::FillSolidRect(dc, &m_rect, RGB(0, 0, 0)); }
    int OnControlTimer() override
    {
        ++ticks;
        return 0;
    }
    std::atomic<int> ticks { 0 };
};
} // namespace

// A renderer loading a 1080p clip again and again on the GUI thread (its screen showing
// the sensor values meanwhile) shares the fast timer with a 1 ms control: opening and
// decoding the clip never hold up the renderer's tick, nor with it that control's ticks.
TEST(LcdMediaVideo, OneMillisecondTimerBesideARendererLoadingA1080pClipKeepsTicking)
{
    const ScratchFolder folder(L"lcd-media");
    const ScratchClip clip(folder.path(), L"large.mp4", ScratchClip::Mp4v, 30, 20, 1920, 1080);
    ASSERT_TRUE(clip.written());
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 500, 500), true);
    OpenLcd* lcd = dialog.addRenderer(CRect(0, 0, 480, 480));
    lcd->SetLEDMode(LEDModeSystemInfo);
    auto* ticker = new Ticker(&dialog);
    ticker->SetManager(dialog.GetPaintManager());
    dialog.GetPaintManager()->AppendControl(ticker, 1);
    lcd->AddMTimer();
    ticker->AddMTimer();
    dialog.SetMTimer(1);
    ASSERT_TRUE(pollUntil([&] { return ticker->ticks.load() > 20; }, 5000));
    // The timer thread is one for both: a tick held up by a load stops every tick until the
    // load ends, so a load holding it up sees at most the one tick already under way. Counting
    // ticks that land inside the loads asks no bound of the machine's speed: held up, the loads
    // see kLoads ticks at the most.
    constexpr int kLoads = 4;
    int ticksDuringLoads = 0;
    for (int load = 0; load < kLoads; ++load) {
        const int before = ticker->ticks.load();
        lcd->SetFileImage(clip.path(), MediaKindVideo);
        ticksDuringLoads += ticker->ticks.load() - before;
        const double until = performanceMs() + 250;
        while (performanceMs() < until)
            dialog.paintNow();
    }
    dialog.GetPaintManager()->KillMTimer();
    EXPECT_GT(ticksDuringLoads, kLoads);
    EXPECT_TRUE(decodeFrame(pullFrame(*lcd)).complete());
    dialog.DestroyWindow();
}

namespace {
DWORD crc32Of(const BYTE* data, size_t size, DWORD crc = 0)
{
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putBigEndian(std::vector<BYTE>& out, DWORD value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<BYTE>(value >> shift));
}

void putChunk(std::vector<BYTE>& out, const char* type, const std::vector<BYTE>& data)
{
    putBigEndian(out, static_cast<DWORD>(data.size()));
    std::vector<BYTE> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    putBigEndian(out, crc32Of(typed.data(), typed.size()));
}

// A valid black PNG of width × height, one bit a pixel, its rows in stored deflate blocks.
std::vector<BYTE> blackPng(DWORD width, DWORD height)
{
    std::vector<BYTE> png { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    std::vector<BYTE> header;
    putBigEndian(header, width);
    putBigEndian(header, height);
    header.insert(header.end(), { 1, 0, 0, 0, 0 }); // 1-bit grey
    putChunk(png, "IHDR", header);
    const size_t raw = static_cast<size_t>(height) * (1 + (width + 7) / 8); // zero bytes: filter 0, black
    std::vector<BYTE> zlib { 0x78, 0x01 };
    for (size_t left = raw; left > 0;) {
        const size_t block = std::min<size_t>(left, 65535);
        left -= block;
        zlib.insert(zlib.end(), { BYTE(left == 0), BYTE(block), BYTE(block >> 8), BYTE(~block), BYTE(~block >> 8) });
        zlib.resize(zlib.size() + block, 0);
    }
    putBigEndian(zlib, static_cast<DWORD>((raw % 65521) << 16 | 1)); // Adler-32 of zeros
    putChunk(png, "IDAT", zlib);
    putChunk(png, "IEND", {});
    return png;
}

// A GIF whose screen and only frame claim 65,535 × 65,535 pixels over a few bytes of data.
std::vector<BYTE> claimingGif()
{
    return { 'G', 'I', 'F', '8', '9', 'a', 0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF,
             0x2C, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0x02, 0x02, 0x44, 0x01, 0, 0x3B };
}

// A file of zeros of the given size, made without writing them (sparse where the disk allows).
bool zeroFile(const CString& path, LONGLONG size)
{
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER end {};
    end.QuadPart = size;
    const bool made = ::SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(file);
    ::CloseHandle(file);
    return made;
}
} // namespace

// Files a 32-bit process cannot hold decoded, or that lie about their size, given to every
// media loader, view and exporter: each fails as a load or an export fails (0, null, nothing
// drawn) and the host goes on.
TEST(LcdMediaFiles, HugeTruncatedAndLyingFilesFailAndTheHostKeepsRunning)
{
    const ScratchFolder folder(L"lcd-media");
    const ScratchClip whole(folder.path(), L"whole.mp4", ScratchClip::Mp4v, 30, 30);
    const std::vector<BYTE> clipBytes = whole.read();
    const ScratchFile huge(folder.path(), L"huge.png", blackPng(20000, 15000));
    const ScratchFile cut(folder.path(), L"cut.mp4", { clipBytes.begin(), clipBytes.begin() + clipBytes.size() / 3 });
    const ScratchFile claiming(folder.path(), L"claiming.gif", claimingGif());
    const CString zeros = folder / L"zeros.mp4";
    ASSERT_TRUE(huge.written() && cut.written() && claiming.written() && zeroFile(zeros, 2LL << 30));
    struct Row { CString path; int kind; };
    const Row rows[] = { { huge.path(), MediaKindPicture }, { cut.path(), MediaKindVideo },
                         { claiming.path(), MediaKindGif }, { zeros, MediaKindVideo } };
    PinnedClock clock(5000);
    auto lcd = fileScreen();
    GIFViewCtrl gifView(nullptr, 2, CRect(0, 0, 700, 560), 1, 1);
    OpenCVViewCtrl videoView(nullptr, 3, CRect(0, 0, 700, 560), 1, 1);
    LEDImageCtrl2 startUp(nullptr, 4, CRect(0, 0, 500, 500), 1, 1);
    DibCanvas canvas(700, 560);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path.GetString());
        lcd->SetFileImage(row.path, row.kind);
        TimeSource::Advance(1000);
        lcd->OnControlTimer();
        // A cut clip may play the frames it holds; everything else shows black.
        if (row.path != cut.path()) {
            EXPECT_LT(decodeFrame(pullFrame(*lcd)).brightest(), 16.0);
        }
        if (row.kind != MediaKindVideo) {
            EXPECT_EQ(0, gifView.SetFileName(row.path, row.kind));
        } else if (row.path == zeros) {
            EXPECT_EQ(0, videoView.SetFileName(row.path, row.kind));
        } else {
            videoView.SetFileName(row.path, row.kind);
            cv::Mat thumbnail;
            videoView.GetFrameThumbnail(thumbnail, 20, 24, 24);
            videoView.CacheNextFrames(1 << 20);
        }
        for (MediaCropView* view : { static_cast<MediaCropView*>(&gifView), static_cast<MediaCropView*>(&videoView) }) {
            view->SetUpdate(0, 0);
            view->DrawControl(canvas.dc(), view->GetRect());
        }
        startUp.SetImageFile(row.path, row.kind);
        startUp.SetUpdate(0, 0);
        startUp.DrawControl(canvas.dc(), startUp.GetRect());
        GifWriter writer;
        writer.SetSize(480, 480);
        writer.Begin(folder / L"written.gif");
        // A picture that cannot be read is a black frame.
        EXPECT_TRUE(writer.AddFrame(row.path, 30));
    }
    EXPECT_TRUE(::DeleteFileW(zeros));
}
