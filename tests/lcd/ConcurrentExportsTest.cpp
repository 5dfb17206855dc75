// GIF exports running at once, on threads of one host and in two host processes sharing one
// data folder: each GIF holds its own frames and no other's, and an export sweeps away what a
// dead export left while leaving a live one's folder alone. The second process is this program
// again (ChildProgram), running one of the Child tests below.
#include <array>
#include <memory>
#include <thread>

#include <shlobj.h>
#include <shlwapi.h>

#include <opencv2/videoio.hpp>

#include "ChildProgram.h"
#include "FolderEntries.h"
#include "GifColours.h"
#include "LcdTestKit.h"
#include "Narrow.h"
#include "ScratchFile.h"
#include "ScratchFolder.h"
#include "lcd/media/GifFramesExport.h"
#include "lcd/media/MediaFolders.h"
#include "lcd/media/VideoClip.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr UINT kProgress = WM_APP + 21;
// What a wait on the other thread or process allows, far beyond an export of these clips.
constexpr DWORD kDeadline = 30000;
// Starting together behind one event, two exports interleave their frames almost every time;
// a few rounds make a run that never interleaves practically impossible.
constexpr int kRounds = 3;
// JPEG frames and the GIF palette move a flat colour by a few steps; the other clip's is far.
constexpr int kTolerance = 16;
constexpr int kFramePeriod = 70;
constexpr int kQuality = 85;

// A clip of one flat colour, square so that its export fills every LCD frame with that colour.
struct Clip {
    const wchar_t* name;
    DWORD rgb;
    int frames;
};
constexpr Clip kDark { L"dark.avi", 0x203040, 9 };
constexpr Clip kBright { L"bright.avi", 0xE0D0B0, 14 };

CString writeClip(const ScratchFolder& folder, const Clip& clip)
{
    const cv::Mat frame(64, 64, CV_8UC3, cv::Scalar(clip.rgb & 0xFF, (clip.rgb >> 8) & 0xFF, clip.rgb >> 16));
    cv::VideoWriter writer(FfmpegPath(folder / clip.name), cv::CAP_FFMPEG, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 25,
                           frame.size());
    for (int k = 0; k < clip.frames; ++k)
        writer << frame;
    return folder / clip.name;
}

::testing::AssertionResult holdsOnly(const CString& gif, const Clip& clip)
{
    const std::vector<std::vector<DWORD>> frames = readGifColours(gif);
    if (frames.size() != static_cast<size_t>(clip.frames))
        return ::testing::AssertionFailure() << narrow(gif) << " has " << frames.size() << " frames, not " << clip.frames;
    for (size_t k = 0; k < frames.size(); ++k) {
        const int off = farthestFrom(frames[k], clip.rgb);
        if (off > kTolerance)
            return ::testing::AssertionFailure() << narrow(gif) << " frame " << k << " is " << off << " off its clip's colour";
    }
    return ::testing::AssertionSuccess();
}

// A manual-reset event; named, it is shared with a child process.
class Signal {
public:
    explicit Signal(const CString& name = CString())
        : m_event(::CreateEventW(nullptr, TRUE, FALSE, name.IsEmpty() ? nullptr : name.GetString()))
    {
    }
    ~Signal() { ::CloseHandle(m_event); }
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;
    void raise() const { ::SetEvent(m_event); }
    bool wait() const { return ::WaitForSingleObject(m_event, kDeadline) == WAIT_OBJECT_0; }

private:
    HANDLE m_event;
};

// The first part of the names of the events shared with one child.
CString signalsFor(const wchar_t* child)
{
    CString name;
    name.Format(L"kova-concurrent-exports-%lu-%s", ::GetCurrentProcessId(), child);
    return name;
}

CString localAppData()
{
    CString folder;
    ::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder.GetBufferSetLength(MAX_PATH + 1));
    folder.ReleaseBuffer();
    return folder;
}

// In a child: its local application-data folder becomes the parent's, in the child's own
// registry hive (PrivateUserProfile), so that both export into one data folder.
void useLocalAppData(const CString& folder)
{
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                              0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    ::RegSetValueExW(key, L"Local AppData", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(folder.GetString()),
                     static_cast<DWORD>((folder.GetLength() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    ASSERT_EQ(localAppData(), folder);
}

// The folders the exports in progress (or dead) keep in the exporters' frames folder.
std::vector<CString> exportFolders()
{
    std::vector<CString> folders;
    for (const CString& entry : folderEntries(GetExportFramesFolder())) {
        if (entry.Right(1) == L"\\")
            folders.push_back(entry);
    }
    return folders;
}

GifFramesExport::Outcome exportSolidFrames(const CString& gif, int count, const std::function<void()>& afterFrames)
{
    GifFramesExport frames(count, kFramePeriod, kQuality, [](int) {});
    return frames.Run(gif, [&](GifFramesExport& walk) {
        for (int k = 0; k < count; ++k)
            walk.WriteFrame(k, cv::Mat(32, 32, CV_8UC3, cv::Scalar(40 * k, 90, 200)));
        afterFrames();
        return count;
    });
}

// A child holding an export open, its frames written, and the folder that export writes in.
// ending: "released", the export ends once the parent says so; "abandoned", the child ends with
// it open.
struct HeldExport {
    std::unique_ptr<ChildProgram> child;
    CString folder;
    CString signals;
};

HeldExport holdAnExport(const ScratchFolder& scratch, const wchar_t* name, const wchar_t* ending)
{
    HeldExport held { nullptr, CString(), signalsFor(name) };
    const Signal written(held.signals + L"-written");
    const std::vector<CString> before = exportFolders();
    held.child = std::make_unique<ChildProgram>(
        L"ConcurrentExports.ChildHoldsAnExportOpen", std::vector<CString> { localAppData(), scratch / name, held.signals, ending });
    EXPECT_TRUE(held.child->started() && written.wait()) << narrow(name) << ": the child wrote no frames";
    for (const CString& folder : exportFolders()) {
        if (std::find(before.begin(), before.end(), folder) == before.end())
            held.folder = folder;
    }
    return held;
}

} // namespace

TEST(ConcurrentExports, TwoViewsOnTwoThreadsEachWriteOnlyTheirOwnFrames)
{
    const ScratchFolder folder(L"kova-concurrent-threads");
    const std::array<Clip, 2> clips { kDark, kBright };
    const std::array<CString, 2> gifs { folder / L"dark.gif", folder / L"bright.gif" };
    const std::array<CString, 2> sources { writeClip(folder, kDark), writeClip(folder, kBright) };
    OpenCVViewCtrl dark(nullptr, 1, CRect(0, 0, 700, 560), 1, 1), bright(nullptr, 2, CRect(0, 0, 700, 560), 1, 1);
    const std::array<OpenCVViewCtrl*, 2> views { &dark, &bright };
    int overlapping = 0;
    for (int round = 0; round < kRounds; ++round) {
        const Signal go;
        std::array<double, 2> began {}, ended {};
        std::vector<std::thread> exporters;
        for (size_t v = 0; v < views.size(); ++v) {
            ASSERT_EQ(views[v]->SetFileName(sources[v], 4), 1);
            exporters.emplace_back([&, v] {
                go.wait();
                began[v] = performanceMs();
                views[v]->SaveGIFImageFile(gifs[v], kProgress);
                ended[v] = performanceMs();
            });
        }
        go.raise();
        for (std::thread& exporter : exporters)
            exporter.join();
        overlapping += std::max(began[0], began[1]) < std::min(ended[0], ended[1]) ? 1 : 0;
        for (size_t v = 0; v < views.size(); ++v) {
            EXPECT_EQ(views[v]->GetLastExportResult(), 1) << "round " << round;
            EXPECT_TRUE(holdsOnly(gifs[v], clips[v])) << "round " << round;
        }
    }
    EXPECT_GT(overlapping, 0) << "no round ran both exports at once";
    EXPECT_FALSE(::PathFileExistsW(GetExportFramesFolder()));
}

TEST(ConcurrentExports, TwoProcessesSharingADataFolderEachWriteOnlyTheirOwnFrames)
{
    const ScratchFolder folder(L"kova-concurrent-processes");
    const CString dark = writeClip(folder, kDark), bright = writeClip(folder, kBright);
    for (int round = 0; round < kRounds; ++round) {
        const CString signals = signalsFor(L"exporter");
        const Signal ready(signals + L"-ready"), go(signals + L"-go");
        ChildProgram child(L"ConcurrentExports.ChildExportsAClip",
                           { localAppData(), bright, folder / L"child.gif", signals });
        ASSERT_TRUE(child.started() && ready.wait()) << "the child did not open its clip";
        OpenCVViewCtrl view(nullptr, 1, CRect(0, 0, 700, 560), 1, 1);
        ASSERT_EQ(view.SetFileName(dark, 4), 1);
        go.raise();
        view.SaveGIFImageFile(folder / L"parent.gif", kProgress);
        EXPECT_EQ(child.finish(kDeadline), 0) << "round " << round;
        EXPECT_EQ(view.GetLastExportResult(), 1) << "round " << round;
        EXPECT_TRUE(holdsOnly(folder / L"parent.gif", kDark)) << "round " << round;
        EXPECT_TRUE(holdsOnly(folder / L"child.gif", kBright)) << "round " << round;
    }
    EXPECT_FALSE(::PathFileExistsW(GetExportFramesFolder()));
}

// One child holds its export open; another died in the middle of its own, the way a killed host
// does (the system closed its handles, no destructor ran); frames an older version left flat lie
// beside them.
TEST(ConcurrentExports, TheNextExportSweepsADeadExportsLeftoversAndLeavesALiveOnesFolder)
{
    const ScratchFolder folder(L"kova-concurrent-sweep");
    const CString frames = GetExportFramesFolder();
    // The live one first: its claim would sweep the dead one's folder.
    const HeldExport live = holdAnExport(folder, L"live.gif", L"released");
    const HeldExport dead = holdAnExport(folder, L"dead.gif", L"abandoned");
    ASSERT_FALSE(dead.folder.IsEmpty()) << "no folder of the dead export's own";
    ASSERT_FALSE(live.folder.IsEmpty()) << "no folder of the live export's own";
    ASSERT_EQ(dead.child->finish(kDeadline), 0);
    ASSERT_TRUE(::PathIsDirectoryW(frames + dead.folder)) << "the dead export left nothing";
    const ScratchFile strays[] = { { frames, L"frame_0.jpg", { 'x' } }, { frames, L"frame_7.jpg", { 'x' } } };

    EXPECT_EQ(exportSolidFrames(folder / L"next.gif", 3, [] {}), GifFramesExport::Outcome::Saved);
    EXPECT_EQ(exportFolders(), std::vector<CString> { live.folder });
    EXPECT_EQ(folderEntries(frames + live.folder), (std::vector<CString> { L"frame_0.jpg", L"frame_1.jpg" }));
    for (const ScratchFile& stray : strays)
        EXPECT_FALSE(::PathFileExistsW(stray.path())) << narrow(stray.path());

    // The live export ends whole, and the last export out removes the frames folder.
    Signal(live.signals + L"-release").raise();
    EXPECT_EQ(live.child->finish(kDeadline), 0);
    EXPECT_FALSE(::PathFileExistsW(frames));
}

// The child of the test of two processes: exports its clip once the parent says go.
TEST(ConcurrentExports, ChildExportsAClip)
{
    const std::vector<CString> arguments = ChildArguments();
    if (arguments.empty())
        GTEST_SKIP() << "the second process of a test above";
    ASSERT_EQ(arguments.size(), 4u);
    useLocalAppData(arguments[0]);
    OpenCVViewCtrl view(nullptr, 1, CRect(0, 0, 700, 560), 1, 1);
    ASSERT_EQ(view.SetFileName(arguments[1], 4), 1);
    const Signal ready(arguments[3] + L"-ready"), go(arguments[3] + L"-go");
    ready.raise();
    ASSERT_TRUE(go.wait());
    view.SaveGIFImageFile(arguments[2], kProgress);
    EXPECT_EQ(view.GetLastExportResult(), 1);
}

// The child of the sweep test: writes its frames, says so, and holds the export open until the
// parent releases it, or ends with it open on another thread: the process exits without
// unwinding that thread, and the system closes its handles.
TEST(ConcurrentExports, ChildHoldsAnExportOpen)
{
    const std::vector<CString> arguments = ChildArguments();
    if (arguments.empty())
        GTEST_SKIP() << "the second process of a test above";
    ASSERT_EQ(arguments.size(), 4u);
    useLocalAppData(arguments[0]);
    const CString gif = arguments[1], signals = arguments[2];
    const auto holding = [gif, signals] {
        const Signal written(signals + L"-written"), release(signals + L"-release");
        return exportSolidFrames(gif, 2, [&] {
            written.raise();
            release.wait();
        });
    };
    if (arguments[3] == L"abandoned") {
        std::thread(holding).detach();
        EXPECT_TRUE(Signal(signals + L"-written").wait());
        return;
    }
    EXPECT_EQ(holding(), GifFramesExport::Outcome::Saved);
    EXPECT_EQ(readGifColours(gif).size(), 2u);
}
