// Videos as users bring them: a clip of every common format and of a phone's display rotations,
// written by the host's ffmpeg, opened and shown by every surface of the library and compared
// with what a player shows of it (its size, its frame count and its first frame's quadrants).
#include <algorithm>

#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

#include "PlayerClips.h"
#include "ScratchFile.h"
#include "VideoSurfaces.h"
#include "lcd/media/VideoClip.h"

#include <psapi.h>

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

} // namespace

// Every clip opens in the video view with the size and frame count a player gives, and its
// first frame shows the player's picture the right way up in the view, on the LCD file screen,
// behind the clock, as the media list's thumbnail, as a thumbnail the view seeks to, as the
// first start-up frame, and in its GIF and MP4 exports.
TEST(UserVideos, EveryFormatAndRotationShowsWhatAPlayerShowsOnEverySurface)
{
    const std::vector<PlayerClip> clips = playerClips();
    ASSERT_GE(clips.size(), 30u) << "the build wrote no clips beside the tests";
    const ScratchFolder folder(L"user-videos");
    PinnedClock clock(10000);
    for (const PlayerClip& clip : clips) {
        SCOPED_TRACE(clip.name + " (player: " + describe(clip.quadrants) + ")");
        ClipView view;
        if (view.SetFileName(clip.path(), MediaKindVideo) != 1) {
            ADD_FAILURE() << "does not open";
            continue;
        }
        EXPECT_EQ(CSize(clip.width, clip.height), view.size());
        EXPECT_EQ(clip.frames, view.frameCount());
        const struct {
            const char* surface;
            cv::Mat look;
        } surfaces[] = {
            { "view", view.look() },
            { "file screen", fileScreenLook(clip.path()) },
            { "clock", clockLook(clip.path()) },
            { "media list", thumbnailLook(clip.path()) },
            { "start-up frames", startupFramesLook(clip.path(), folder / L"startup") },
        };
        for (const auto& surface : surfaces) {
            const Quadrants shown = quadrantsOf(surface.look);
            EXPECT_TRUE(sameQuadrants(shown, clip.quadrants)) << surface.surface << ": " << describe(shown);
        }
        cv::Mat sought;
        EXPECT_EQ(1, view.GetFrameThumbnail(sought, clip.frames / 2, 64, 64));
        EXPECT_TRUE(sameQuadrants(quadrantsOf(sought), clip.quadrants)) << "seeking: " << describe(quadrantsOf(sought));
        const CString gif = folder / L"export.gif";
        const CString mp4 = folder / L"export.mp4";
        const Exported exported = exportLooks(view, clip.path(), gif, mp4);
        ::DeleteFileW(gif);
        ::DeleteFileW(mp4);
        EXPECT_TRUE(sameQuadrants(quadrantsOf(exported.gif), clip.quadrants)) << "GIF: " << describe(quadrantsOf(exported.gif));
        EXPECT_TRUE(sameQuadrants(quadrantsOf(exported.mp4), clip.quadrants)) << "MP4: " << describe(quadrantsOf(exported.mp4));
    }
}

// A phone's portrait video larger than the LCD: the crop the user places over the top of the
// picture as shown exports the top of the picture as shown, its two upper quadrants.
TEST(UserVideos, TheCropOfATurnedVideoCutsThePictureAsShown)
{
    const PlayerClip clip = playerClip("h264-rot90-large.mp4");
    ASSERT_GT(clip.height, 480) << "the crop is used on videos larger than the LCD";
    const ScratchFolder folder(L"user-videos-crop");
    ClipView view;
    ASSERT_EQ(1, view.SetFileName(clip.path(), MediaKindVideo));
    const CRect picture = view.picture();
    ASSERT_LT(picture.Width(), picture.Height());
    view.crop(CRect(picture.TopLeft(), CSize(picture.Width(), picture.Width())));
    view.exportRange(1);
    view.SaveGIFImageFile(folder / L"top.gif", kExportProgress);
    ASSERT_EQ(1, view.GetLastExportResult());
    const Quadrants top { clip.quadrants[0], clip.quadrants[1], clip.quadrants[0], clip.quadrants[1] };
    const Quadrants shown = quadrantsOf(gifLook(folder / L"top.gif"));
    EXPECT_TRUE(sameQuadrants(shown, top)) << describe(shown) << ", player's top: " << describe(top);
    ::DeleteFileW(folder / L"top.gif");
}

// A player looping a clip goes back to its first frame: every frame plays again, also from a
// transport stream, whose seek to the start lands past its first key frame.
TEST(UserVideos, BackAtTheStartEveryClipPlaysWhole)
{
    for (const PlayerClip& clip : playerClips()) {
        SCOPED_TRACE(clip.name);
        VideoClip video;
        ASSERT_TRUE(video.Open(clip.path()));
        int firstPass = 0;
        while (video.Read())
            ++firstPass;
        for (int loop = 0; loop < 2; ++loop) {
            video.Seek(0);
            int frames = 0;
            while (video.Read())
                frames += frames == 0 && !sameQuadrants(quadrantsOf(video.Frame()), clip.quadrants) ? 1000 : 1;
            EXPECT_EQ(firstPass, frames) << "loop " << loop;
        }
        EXPECT_EQ(clip.decoded, firstPass);
    }
}

// The reader fills the buffer of an earlier frame again, but never one still shown: a frame
// handed out stays what it was while the reader reads on.
TEST(UserVideos, AFrameHandedOutStaysWhileTheReaderReadsOn)
{
    const ScratchFolder folder(L"user-videos-frames");
    const ScratchClip clip(folder.path(), L"count.avi", ScratchClip::Mjpg, 25, 6);
    VideoClip video;
    ASSERT_TRUE(video.Open(clip.path()));
    ASSERT_TRUE(video.Read());
    const cv::Mat shown = video.Frame();
    const auto frameShown = [](const cv::Mat& frame) { return clipFrameOf(quadrantsOf(frame)[0]); };
    for (int frame = 1; frame < 6; ++frame) {
        ASSERT_TRUE(video.Read());
        EXPECT_EQ(frame, frameShown(video.Frame()));
    }
    EXPECT_EQ(0, frameShown(shown));
    video.Close();
}

namespace {

// The bytes of a clip cut at a share of its length, or with a stretch of its middle overwritten
// by noise, as a broken download or a failing disk leaves a file.
std::vector<BYTE> cutAt(std::vector<BYTE> bytes, double share)
{
    bytes.resize(static_cast<size_t>(bytes.size() * share));
    return bytes;
}

std::vector<BYTE> noiseIn(std::vector<BYTE> bytes, size_t from, size_t to)
{
    unsigned seed = 12345;
    for (size_t i = from; i < std::min(to, bytes.size()); ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = static_cast<BYTE>(seed >> 16);
    }
    return bytes;
}

std::vector<BYTE> noiseInTheMiddle(std::vector<BYTE> bytes)
{
    const size_t size = bytes.size(); // read before the bytes move into the call
    return noiseIn(std::move(bytes), size * 3 / 10, size * 7 / 10);
}

// The later frames damaged, the headers and the index after the frames whole: an
// AVI's frames lie between its "movi" list and its "idx1" index, an MP4's in its "mdat" box
// before its "moov" box.
std::vector<BYTE> laterFramesDamaged(std::vector<BYTE> bytes)
{
    const bool avi = findTag(bytes, "movi") < bytes.size();
    const size_t frames = findTag(bytes, avi ? "movi" : "mdat");
    const size_t index = findTag(bytes, avi ? "idx1" : "moov");
    return noiseIn(std::move(bytes), frames + (index - frames) * 7 / 10, index - 16);
}

// An AVI whose main header and picture format both claim 65535 × 65535.
std::vector<BYTE> claimingHugeFrames(std::vector<BYTE> bytes)
{
    const size_t header = findTag(bytes, "avih") + 8;
    const size_t format = findTag(bytes, "strf") + 8;
    for (size_t field : { header + 32, header + 36, format + 4, format + 8 })
        putDword(bytes, field, 0xFFFF);
    return bytes;
}

SIZE_T committedBytes()
{
    PROCESS_MEMORY_COUNTERS counters {};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage;
}

// Everything a host does with a video it was handed: open it, show it, seek in it, keep frames
// ahead, export it, play it on the LCD and list it. The view's SetFileName result.
int useEverywhere(const CString& path, const ScratchFolder& folder)
{
    ClipView view;
    const int opened = view.SetFileName(path, MediaKindVideo);
    if (opened == 1) {
        view.look();
        cv::Mat thumbnail;
        for (int frame : { 0, view.frameCount() / 2, view.frameCount() - 1, view.frameCount() + 5 })
            view.GetFrameThumbnail(thumbnail, frame, 32, 32);
        view.CacheNextFrames(view.frameCount());
        view.exportRange(std::max(view.frameCount(), 1));
        view.SaveGIFImageFile(folder / L"broken.gif", kExportProgress);
        ::DeleteFileW(folder / L"broken.gif");
    }
    ClipLcd lcd(LEDScreenSquare);
    lcd.SetLEDMode(LEDModeFile);
    lcd.SetFileImage(path, MediaKindVideo);
    for (int tick = 0; tick < 40; ++tick)
        lcd.look();
    lcd.SetFileImage(L"", MediaKindPicture);
    thumbnailLook(path);
    return opened;
}

} // namespace

// Cut and damaged files of every container, and headers claiming frames no decoder makes: each
// use fails as the library's calls fail (0, nothing drawn, nothing listed) or shows what
// decodes, and none crashes, hangs or holds on to memory.
TEST(UserVideos, CutDamagedAndLyingFilesFailOrPlayWhatDecodesWithinBoundedMemory)
{
    const ScratchFolder folder(L"user-videos-broken");
    PinnedClock clock(10000);
    useEverywhere(playerClip("h264.mp4").path(), folder); // the decoders' first allocations
    const SIZE_T before = committedBytes();
    for (const char* name : { "xvid.avi", "h264.mp4", "hevc.mov", "h264.mkv", "vp9.webm", "av1.mp4", "mpeg2.mpg",
                              "mpeg2.ts", "h264.m2ts", "wmv2.wmv", "theora.ogv", "sorenson.flv", "h263.3gp" }) {
        const PlayerClip clip = playerClip(name);
        ASSERT_FALSE(clip.name.empty()) << name;
        const std::vector<BYTE> whole = readFile(clip.path());
        for (const auto& [variant, bytes] : { std::make_pair("cut", cutAt(whole, 0.4)),
                                              std::make_pair("damaged", noiseInTheMiddle(whole)) }) {
            SCOPED_TRACE(clip.name + ", " + variant);
            const ScratchFile broken(folder.path(), CString(variant) + L"-" + CString(name), bytes);
            useEverywhere(broken.path(), folder);
        }
    }
    EXPECT_LT(committedBytes(), before + (64u << 20)) << "memory kept after the broken files";

    // The later frames of a file are damaged: its first frames still show the player's picture.
    for (const char* name : { "xvid.avi", "mjpeg.avi", "h264.mp4" }) {
        SCOPED_TRACE(name);
        const PlayerClip clip = playerClip(name);
        const ScratchFile damaged(folder.path(), L"damaged-first", laterFramesDamaged(readFile(clip.path())));
        ClipView view;
        ASSERT_EQ(1, view.SetFileName(damaged.path(), MediaKindVideo));
        EXPECT_TRUE(sameQuadrants(quadrantsOf(view.look()), clip.quadrants));
        EXPECT_TRUE(sameQuadrants(quadrantsOf(fileScreenLook(damaged.path())), clip.quadrants));
    }

    // Headers claiming 65535 × 65535: raw frames of that size cannot be read (not opened,
    // nothing shown, nothing listed); JPEG frames carry their own size, and play.
    const ScratchFile lyingRaw(folder.path(), L"lying.avi", claimingHugeFrames(readFile(playerClip("raw.avi").path())));
    const SIZE_T start = committedBytes();
    EXPECT_EQ(0, useEverywhere(lyingRaw.path(), folder));
    const cv::Mat shown = fileScreenLook(lyingRaw.path());
    EXPECT_TRUE(shown.empty() || cv::norm(shown, cv::NORM_INF) < 16.0);
    EXPECT_TRUE(thumbnailLook(lyingRaw.path()).empty());
    const PlayerClip mjpeg = playerClip("mjpeg.avi");
    const ScratchFile lyingMjpeg(folder.path(), L"lying-mjpeg.avi", claimingHugeFrames(readFile(mjpeg.path())));
    EXPECT_EQ(1, useEverywhere(lyingMjpeg.path(), folder));
    EXPECT_TRUE(sameQuadrants(quadrantsOf(fileScreenLook(lyingMjpeg.path())), mjpeg.quadrants));
    EXPECT_LT(committedBytes(), start + (64u << 20));
}
