// The GIF view: thumbnails, the frame step, the still picture's crop limits, both exports
// (files read back, progress read off a real window's queue) and broken files.
#include "GdiObjectCount.h"
#include "LcdTestKit.h"
#include "PumpUntil.h"
#include "ScratchClip.h"
#include "ScratchFolder.h"
#include "ScratchStrip.h"
#include "UnreachableLocalAppData.h"
#include "lcd/media/GifDelays.h"

#include <atomic>
#include <thread>

#include <shlwapi.h>

using namespace KOVA;
using namespace KOVA::test;

namespace {
const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);
constexpr UINT kProgress = WM_APP + 9;
constexpr int kWidth = 760;
constexpr int kHeight = 560;

struct View : GIFViewCtrl {
    using GIFViewCtrl::GIFViewCtrl;
    int frame() const { return m_currentFrame; }
    int thumbnails() const { return ThumbnailCount(); }
    CRect crop() const { return CropRect(); }
    void poke(int frame, int start, int end) { m_currentFrame = frame, m_rangeStart = start, m_rangeEnd = end; }
    CRect drag(CPoint from, CPoint to) { return OnControlLButtonDown(0, from), OnControlMouseMove(0, to), OnControlLButtonUp(0, to), CropRect(); }
};

class GifView : public ::testing::Test {
protected:
    void SetUp() override { dialog.open(CRect(0, 0, 1000, kHeight), false), view = dialog.addRenderer<View>(CRect(0, 0, kWidth, kHeight)); }
    void TearDown() override { dialog.DestroyWindow(); }
    CString keep(ScratchFile* file) { return files.emplace_back(file)->path(); }
    CString gif(const wchar_t* name, const std::vector<int>& delays) { return keep(new ScratchTimedGif(folder.path(), name, delays)); }
    DibCanvas& draw() { return view->SetUpdate(0, 0), view->DrawControl(canvas.dc(), view->GetRect()), canvas; }
    std::vector<int> progress()
    {
        std::vector<int> posted;
        for (MSG m; ::PeekMessageW(&m, dialog.GetSafeHwnd(), kProgress, kProgress, PM_REMOVE);) posted.push_back(int(m.wParam));
        return posted;
    }
    ScratchFolder folder { L"kova-gifview" };
    std::vector<std::unique_ptr<ScratchFile>> files;
    LcdDialog dialog;
    View* view = nullptr;
    DibCanvas canvas { kWidth, kHeight };
};
} // namespace

TEST_F(GifView, ThumbnailsSpreadOverAllFramesAndBothFactoriesMakeTheView)
{
    for (const int frames : { 10, 90 }) {
        ASSERT_EQ(1, view->SetFileName(gif(frames == 10 ? L"ten.gif" : L"ninety.gif", std::vector<int>(frames, 5)), 3));
        const int width = frames < 30 ? 740 / frames : 24;
        ASSERT_EQ(std::min(frames, 30), view->thumbnails());
        for (int i = 0; i < view->thumbnails(); ++i)
            EXPECT_EQ(i * frames / view->thumbnails(), clipFrameOf(draw().rgb(10 + i * width + width / 2, kHeight - 30)));
    }
    MPanel panel(&dialog, 20, CRect(), 1);
    panel.SetManager(dialog.GetPaintManager());
    for (MControl* made : { dialog.CreateControl(L"GIFViewCtrl", 2, CRect(), L"", 1, 1), panel.CreateControl(L"GIFViewCtrl", 3, CRect(), L"", 1, 1) })
        EXPECT_NE(nullptr, dynamic_cast<GIFViewCtrl*>(made));
}

// Whole delays of the first frame's delay (0 counts as 10 ms) go round the range; an empty
// range holds the start; a frame at the count starts again at 0; no GIF, no step.
TEST_F(GifView, FrameStepsByWholeDelaysWithinTheRange)
{
    PinnedClock clock(10000);
    view->OnControlTimer();
    ASSERT_EQ(1, view->SetFileName(gif(L"steps.gif", { 0, 5, 5, 5 }), 3));
    struct Step { DWORD advance; int frame, setFrame = -1, start = 0, end = 4; };
    for (const Step& s : { Step { 0, 0 }, Step { 9, 0 }, Step { 1, 1 }, Step { 25, 3 }, Step { 10, 0 }, Step { 40, 2, 1, 2, 2 },
                           Step { 10, 1, 2, 1, 3 }, Step { 20, 1, -1, 1, 3 }, Step { 0, 0, 4 } }) {
        view->poke(s.setFrame < 0 ? view->frame() : s.setFrame, s.start, s.end);
        TimeSource::Advance(s.advance);
        view->OnControlTimer();
        EXPECT_EQ(s.frame, view->frame()) << s.advance;
    }
}

// A still picture fills the whole control and its crop moves down to the bottom, a GIF's to
// the play bar; resizing stops 50 px above the bottom for both.
TEST_F(GifView, StillPictureHasNoPlayBarAndItsCropGoesToTheBottom)
{
    struct Case { CString path; int kind; DWORD belowBar; int movedBottom; };
    for (const Case& c : { Case { keep(new ScratchStrip(folder.path(), L"still.png", 20, 40, { 0xFF00FF00 })), 0, 0x00FF00, kHeight },
                           Case { gif(L"crop.gif", { 5, 5 }), 3, 0, kHeight - 50 } }) {
        ASSERT_EQ(1, view->SetFileName(c.path, c.kind));
        EXPECT_EQ(c.belowBar, draw().rgb(kWidth / 2, kHeight - 45));
        const CPoint centre = view->crop().CenterPoint();
        EXPECT_EQ(c.movedBottom, view->drag(centre, CPoint(centre.x, kHeight - 1)).bottom) << c.kind;
        EXPECT_EQ(kHeight - 50, view->drag(CPoint(centre.x, c.movedBottom - 3), CPoint(centre.x, kHeight - 1)).bottom) << c.kind;
    }
}

// The JPEG of a still picture's crop, the left half of it filling the frame.
TEST_F(GifView, ExportsWriteTheCropAndRangeAndPostTheirProgress)
{
    ASSERT_EQ(1, view->SetFileName(keep(new ScratchStrip(folder.path(), L"halves.png", 500, 500, { 0xFFFF0000, 0xFF0000FF })), 0));
    view->SetControlRect(CRect(0, 0, 960, 480));
    view->drag(view->crop().CenterPoint(), CPoint(100, 100));
    view->SaveJpgImageFile(folder / L"left.jpg", kProgress);
    EXPECT_EQ(std::tuple(std::vector<int>({ 10, 50, 100 }), 1), std::tuple(progress(), view->GetLastExportResult()));
    const DecodedFrame jpeg = decodeFrame(folder.read(L"left.jpg"));
    for (POINT p : { POINT { 1, 1 }, POINT { 478, 240 }, POINT { 240, 1 }, POINT { 1, 478 }, POINT { 478, 478 } })
        EXPECT_TRUE(nearColor(jpeg.rgb(p.x, p.y), 0xFF0000, 12)) << p.x << "," << p.y;

    // The GIF's range, every frame at the first one's delay; 100 and no file when it fails.
    ASSERT_EQ(1, view->SetFileName(gif(L"four.gif", { 5, 20, 50, 7 }), 3));
    struct Case { const wchar_t* file; std::vector<int> posted; int written; };
    for (const Case& c : { Case { L"out.gif", { 12, 25, 37, 50, 50, 61, 72, 83, 98 }, 1 },
                           Case { L"no folder\\out.gif", { 12, 25, 37, 50, 50, 100 }, 0 } }) {
        view->SaveGIFImageFile(folder / c.file, kProgress);
        EXPECT_EQ(std::tuple(c.posted, c.written), std::tuple(progress(), view->GetLastExportResult()));
    }
    EXPECT_EQ(std::vector<int>(4, 5), ReadGifDelays(folder / L"out.gif"));
    Gdiplus::Bitmap out(folder / L"out.gif");
    Gdiplus::Color colour;
    for (UINT k = 0; k < 4; ++k) {
        out.SelectActiveFrame(&Gdiplus::FrameDimensionTime, k), out.GetPixel(240, 240, &colour);
        EXPECT_EQ(static_cast<int>(k), clipFrameOf(colour.GetValue() & 0xFFFFFF));
    }
}

TEST_F(GifView, BrokenFilesLoadNothingAndStepsAndDrawsLeakNothing)
{
    const std::vector<BYTE> whole = ScratchTimedGif(folder.path(), L"whole.gif", std::vector<int>(8, 2), 64).read();
    const CString empty = keep(new ScratchFile(folder.path(), L"empty.gif", {})), good = gif(L"good.gif", std::vector<int>(12, 1)),
                  text = keep(new ScratchFile(folder.path(), L"text.gif", { 'n', 'o', ' ', 'G', 'I', 'F' }));
    PinnedClock clock(1000);
    view->SetControlRect(CRect(0, 0, 320, 200));
    // A half-cut GIF plays what it holds. Wine's GDI+ keeps some heap of every one it loads:
    // only the first round loads it.
    CString played = keep(new ScratchFile(folder.path(), L"cut.gif", { whole.begin(), whole.begin() + whole.size() / 2 }));
    const auto round = [&] {
        EXPECT_EQ(std::tuple(0, 0), std::tuple(view->SetFileName(empty, 3), view->SetFileName(text, 3)));
        view->SetFileName(played, 3);
        for (int i = 0; i < 100; ++i, TimeSource::Advance(7))
            view->OnControlTimer(), draw();
    };
    round();
    played = good;
    const int gdi = warmGdiObjects(round, 4);
    const long blocks = busyHeapBlocks();
    for (int r = 0; r < 10; ++r)
        round();
    EXPECT_LT(busyHeapBlocks() - blocks, 5);
    EXPECT_EQ(gdi, gdiObjectsSettled(gdi));
}

// A failed data-folder lookup leaves the bare suffix, whose "\\frames\\" lies at the root of the
// current drive: the export refuses (result 0, progress 100) and touches no folder there.
TEST_F(GifView, DataFolderThatCannotBeFoundLeavesAPlantedRootFramesFolderAlone)
{
    ASSERT_EQ(1, view->SetFileName(gif(L"guard.gif", { 5, 5, 5 }), 3));
    wchar_t current[MAX_PATH] {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    ASSERT_TRUE(::SetCurrentDirectoryW(L"C:\\"));
    ::CreateDirectoryW(L"C:\\frames", nullptr);
    const ScratchFile planted(L"C:\\frames\\", L"kova-keep.txt", { 'k' });
    ASSERT_TRUE(planted.written());
    {
        UnreachableLocalAppData unreachable;
        view->SaveGIFImageFile(folder / L"guarded.gif", kProgress);
    }
    ::SetCurrentDirectoryW(current);
    EXPECT_EQ(std::tuple(std::vector<int>({ 100 }), 0), std::tuple(progress(), view->GetLastExportResult()));
    EXPECT_TRUE(::PathFileExistsW(planted.path()));
    EXPECT_FALSE(::PathFileExistsW(L"C:\\frames\\frame_0.jpg"));
    EXPECT_FALSE(::PathFileExistsW(folder / L"guarded.gif"));
}

// The export holds the view's media on a worker thread for its whole length; the GUI thread
// resizing and painting the view meanwhile shows the kept picture and never waits for it.
TEST_F(GifView, ExportOnAWorkerThreadNeverHoldsUpAResizeOrAPaint)
{
    ASSERT_EQ(1, view->SetFileName(keep(new ScratchTimedGif(folder.path(), L"long.gif", std::vector<int>(150, 4), 240)), 3));
    draw();
    std::atomic<bool> ended { false };
    const double began = performanceMs();
    std::atomic<double> exportLength { 0 };
    std::thread exporter([&] {
        view->SaveGIFImageFile(folder / L"long-out.gif", kProgress);
        exportLength = performanceMs() - began;
        ended = true;
    });
    ASSERT_TRUE(pollUntil([&] { return !progress().empty(); }, 10000));
    double slowest = 0;
    int duringExport = 0;
    for (int i = 0; i < 100; ++i) {
        const double start = performanceMs();
        view->SetControlRect(i % 2 ? CRect(0, 0, kWidth, kHeight) : CRect(0, 0, kWidth - 40, kHeight - 20));
        draw();
        slowest = std::max(slowest, performanceMs() - start);
        duringExport += ended ? 0 : 1;
    }
    exporter.join();
    EXPECT_GT(duringExport, 50);
    // A paint that waited on the export would wait for most of it. Measured against the
    // export's own length, the bound holds on a crowded machine, where both grow.
    EXPECT_LT(slowest, exportLength.load() / 2) << "export took " << exportLength.load() << " ms";
    EXPECT_EQ(1, view->GetLastExportResult());
}
