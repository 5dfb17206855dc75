// The walk both GIF exports of the media views take through numbered frames: a frames folder of
// the export's own inside the data folder, the frames written, assembled and cleaned up,
// whatever the frame writer does.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <tuple>
#include <vector>

#include <shlwapi.h>

#include <opencv2/core.hpp>

#include "FolderEntries.h"
#include "KOVA.h"
#include "LibraryHost.h"
#include "ScratchFile.h"
#include "ScratchFolder.h"
#include "lcd/media/GifDelays.h"
#include "lcd/media/GifFramesExport.h"
#include "lcd/media/MediaFolders.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr int kFramePeriod = 70;
constexpr int kQuality = 85;

using Outcome = GifFramesExport::Outcome;
using FrameWriter = std::function<int(GifFramesExport&)>;

cv::Mat solid(int level)
{
    return cv::Mat(32, 32, CV_8UC3, cv::Scalar(level, 255 - level, 128));
}

// Writes the frames named by index, in order, and gives back count files to assemble.
FrameWriter writing(std::vector<int> indexes, int count)
{
    return [=](GifFramesExport& frames) {
        for (int index : indexes)
            frames.WriteFrame(index, solid(index * 40));
        return count;
    };
}

// Deletes frame index from the one export folder there is: the running export's own.
void loseOwnFrame(int index)
{
    const CString frames = GetExportFramesFolder();
    for (const CString& entry : folderEntries(frames)) {
        if (entry.Right(1) != L"\\")
            continue;
        CString file;
        file.Format(L"%s%sframe_%d.jpg", frames.GetString(), entry.GetString(), index);
        EXPECT_TRUE(::DeleteFileW(file)) << index;
    }
}

class GifFramesExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Small frames keep the assembly quick.
        Manager::SetLedScreenWidth(32);
        Manager::SetLedScreenHeight(32);
    }
    void TearDown() override
    {
        Manager::SetLedScreenWidth(480);
        Manager::SetLedScreenHeight(480);
    }

    std::tuple<Outcome, std::vector<int>> run(const CString& path, int frames, const FrameWriter& writer)
    {
        std::vector<int> progress;
        GifFramesExport gif(frames, kFramePeriod, kQuality, [&](int percent) { progress.push_back(percent); });
        const Outcome outcome = gif.Run(path, writer);
        return { outcome, progress };
    }

    ScratchFolder folder { L"kova-gif-frames-export" };
};

} // namespace

TEST_F(GifFramesExportTest, EveryEndingLeavesNoFramesFolderAndNoStaleFrameInTheGif)
{
    const CString frames = GetExportFramesFolder();
    ASSERT_FALSE(frames.IsEmpty());
    const struct {
        const wchar_t* scenario;
        CString path;
        int frames;
        FrameWriter writer;
        Outcome outcome;
        std::vector<int> progress;
        int gifFrames; // -1: no GIF at path
    } rows[] = {
        { L"four frames", folder / L"four.gif", 4, writing({ 0, 1, 2, 3 }, 4), Outcome::Saved,
          { 12, 25, 37, 50, 50, 61, 72, 83, 98 }, 4 },
        // A stale frame_1.jpg of an earlier export lies in the folder: it must not come in.
        { L"one frame of two", folder / L"gap.gif", 2, writing({ 0 }, 2), Outcome::Saved, { 25, 50, 72, 98 }, 1 },
        { L"writer throws after two frames", folder / L"thrown.gif", 4,
          [](GifFramesExport& frames) -> int {
              writing({ 0, 1 }, 2)(frames);
              throw std::runtime_error("a frame could not be decoded");
          },
          Outcome::Abandoned, { 12, 25, 100 }, -1 },
        { L"writer throws an OpenCV error", folder / L"cv.gif", 1,
          [](GifFramesExport& frames) -> int {
              frames.WriteFrame(0, solid(0));
              cv::Mat sum;
              cv::add(solid(0), cv::Mat(3, 3, CV_8UC3), sum); // sizes differ: OpenCV throws
              return sum.cols;
          },
          Outcome::Abandoned, { 50, 100 }, -1 },
        { L"the GIF cannot be written", folder / L"missing\\folder\\no.gif", 2, writing({ 0, 1 }, 2), Outcome::NotSaved,
          { 25, 50, 50, 100 }, -1 },
        // The GIF would miss a frame the clip has: the export fails and leaves no GIF.
        { L"a frame written goes missing", folder / L"short.gif", 3,
          [](GifFramesExport& frames) {
              writing({ 0, 1, 2 }, 3)(frames);
              loseOwnFrame(1);
              return 3;
          },
          Outcome::NotSaved, { 16, 33, 50, 50, 65, 100 }, -1 },
        { L"no frame at all", folder / L"none.gif", 3, writing({}, 0), Outcome::NotSaved, { 100 }, -1 },
    };
    for (const auto& row : rows) {
        CreateDirectoryPath(frames);
        const ScratchFile stale(frames, L"frame_1.jpg", { 'x' });
        ASSERT_TRUE(stale.written()) << row.scenario;
        EXPECT_EQ(run(row.path, row.frames, row.writer), std::tuple(row.outcome, row.progress)) << row.scenario;
        EXPECT_FALSE(::PathFileExistsW(frames)) << row.scenario;
        const std::vector<int> delays = ReadGifDelays(row.path);
        if (row.gifFrames < 0)
            EXPECT_FALSE(::PathFileExistsW(row.path)) << row.scenario;
        else
            EXPECT_EQ(delays, std::vector<int>(static_cast<size_t>(row.gifFrames), GifDelayOfPeriod(kFramePeriod)))
                << row.scenario;
    }
}
