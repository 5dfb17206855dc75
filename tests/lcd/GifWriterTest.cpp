// The animated GIF writer: pictures fitted into the frame, files read back by giflib (delays,
// loop block, completeness) and by GDI+ (frames and what each shows).
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include <gif_lib.h>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include "LibraryHost.h"
#include "ScratchFolder.h"
#include "ScratchGif.h"
#include "ScratchStrip.h"
#include "lcd/media/GifWriter.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {
const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kRed = 0xFFFF0000;
constexpr DWORD kGreen = 0xFF00FF00;
constexpr DWORD kBlue = 0xFF0000FF;
constexpr DWORD kWhite = 0xFFFFFFFF;
constexpr DWORD kBlack = 0xFF000000;
// giflib's palette keeps five bits of a channel.
constexpr int kPaletteTolerance = 8;

// What giflib reads of a file: its screen, and per frame the delay of its control block.
struct GiflibView {
    bool complete { false };
    int width { 0 };
    int height { 0 };
    std::vector<int> delays;
    int loopCount { -1 }; // -1: no NETSCAPE2.0 block

    explicit GiflibView(const std::vector<BYTE>& bytes)
    {
        struct Reader { const std::vector<BYTE>& bytes; size_t at; } reader { bytes, 0 };
        auto read = [](GifFileType* gif, GifByteType* into, int count) {
            auto* r = static_cast<Reader*>(gif->UserData);
            const size_t n = std::min(static_cast<size_t>(count), r->bytes.size() - r->at);
            std::memcpy(into, r->bytes.data() + r->at, n);
            r->at += n;
            return static_cast<int>(n);
        };
        GifFileType* gif = DGifOpen(&reader, read, nullptr);
        if (!gif)
            return;
        complete = DGifSlurp(gif) == GIF_OK;
        width = gif->SWidth;
        height = gif->SHeight;
        for (int i = 0; i < gif->ImageCount; ++i) {
            GraphicsControlBlock control {};
            delays.push_back(DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK ? control.DelayTime : -1);
            readLoopBlock(gif->SavedImages[i]);
        }
        DGifCloseFile(gif, nullptr);
    }

    void readLoopBlock(const SavedImage& image)
    {
        for (int b = 0; b + 1 < image.ExtensionBlockCount; ++b) {
            const ExtensionBlock& block = image.ExtensionBlocks[b];
            const ExtensionBlock& data = image.ExtensionBlocks[b + 1];
            if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11
                && std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0 && data.ByteCount == 3 && data.Bytes[0] == 1)
                loopCount = data.Bytes[1] | (data.Bytes[2] << 8);
        }
    }
};

bool closeTo(DWORD actual, DWORD expected)
{
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(static_cast<int>((actual >> shift) & 0xFF) - static_cast<int>((expected >> shift) & 0xFF)) > kPaletteTolerance)
            return false;
    }
    return true;
}

class GifWriterFiles : public ::testing::Test {
protected:
    enum class Format { Png, Jpeg, Gif };
    // A picture file of one colour; GIF is a format only GDI+ reads here.
    CString picture(int width, int height, DWORD argb, Format format = Format::Png)
    {
        CString name;
        name.Format(L"picture_%u.%s", static_cast<unsigned>(m_pictures.size()),
                    format == Format::Png ? L"png" : format == Format::Jpeg ? L"jpg" : L"gif");
        const std::vector<DWORD> colours { argb };
        if (format == Format::Png)
            m_pictures.push_back(std::make_unique<ScratchStrip>(m_folder.path(), name, width, height, colours));
        else if (format == Format::Gif)
            m_pictures.push_back(std::make_unique<ScratchGif>(m_folder.path(), name, width, height, colours));
        else
            m_pictures.push_back(std::make_unique<ScratchFile>(m_folder.path(), name, jpegBytes(width, height, argb)));
        EXPECT_TRUE(m_pictures.back()->written());
        return m_pictures.back()->path();
    }
    static std::vector<BYTE> jpegBytes(int width, int height, DWORD argb)
    {
        const cv::Mat bgr(height, width, CV_8UC3, cv::Scalar(argb & 0xFF, (argb >> 8) & 0xFF, (argb >> 16) & 0xFF));
        std::vector<BYTE> bytes;
        cv::imencode(".jpg", bgr, bytes, { cv::IMWRITE_JPEG_QUALITY, 85 });
        return bytes;
    }
    CString output(const wchar_t* name) const { return m_folder / name; }

    ScratchFolder m_folder { L"kova-gifwriter" };
    std::vector<std::unique_ptr<ScratchFile>> m_pictures;
};

} // namespace

TEST(GifWriterFitRect, KeepsSmallPicturesAndScalesLargeOnesDownCentred)
{
    struct Case { int width, height; CRect target; CRect expected; };
    GifWriter writer;
    writer.SetSize(480, 480);
    for (const Case& c : {
             Case { 200, 100, CRect(0, 0, 480, 480), CRect(140, 190, 340, 290) },  // fits: natural size
             Case { 960, 480, CRect(0, 0, 480, 480), CRect(0, 120, 480, 360) },    // only wider
             Case { 480, 960, CRect(0, 0, 480, 480), CRect(120, 0, 360, 480) },    // only taller
             Case { 1920, 1080, CRect(0, 0, 480, 480), CRect(0, 105, 480, 375) },  // both, relatively wider
             Case { 600, 1200, CRect(0, 0, 480, 480), CRect(120, 0, 360, 480) },   // both, relatively taller
             Case { 480, 480, CRect(10, 20, 490, 500), CRect(10, 20, 490, 500) },  // exactly fits, offset target
         }) {
        EXPECT_EQ(writer.FitRect(c.width, c.height, c.target), c.expected) << c.width << "x" << c.height;
    }
}

TEST_F(GifWriterFiles, FramesReadBackByGiflibAndGdiplusEachShowingForTheFirstDelay)
{
    // Pictures of the four placements, each with its own delay: the file shows every frame for
    // the first one's (giflib reads the delays; Wine's GDI+ is not trusted with them).
    // The exporters' frames are JPEG files; a GIF picture is read through GDI+.
    struct Frame { int width, height; DWORD colour; Format format; int milliseconds; POINT inside; POINT outside; };
    const Frame frames[] = {
        { 480, 480, kRed, Format::Jpeg, 50, { 5, 5 }, { -1, -1 } },
        { 200, 100, kGreen, Format::Gif, 200, { 141, 191 }, { 139, 240 } },
        { 960, 480, kBlue, Format::Png, 500, { 240, 121 }, { 240, 118 } },
        { 480, 960, kWhite, Format::Png, 70, { 121, 240 }, { 118, 240 } },
    };
    GifWriter writer;
    writer.SetSize(480, 480);
    ASSERT_TRUE(writer.Begin(output(L"four.gif")));
    for (const Frame& f : frames)
        ASSERT_TRUE(writer.AddFrame(picture(f.width, f.height, f.colour, f.format), f.milliseconds));
    ASSERT_TRUE(writer.Save());

    const GiflibView gif(m_folder.read(L"four.gif"));
    EXPECT_TRUE(gif.complete);
    EXPECT_EQ(std::tuple(gif.width, gif.height, gif.loopCount), std::tuple(480, 480, 0));
    EXPECT_EQ(gif.delays, std::vector<int>({ 5, 5, 5, 5 }));

    Gdiplus::Bitmap decoded(output(L"four.gif"));
    ASSERT_EQ(decoded.GetLastStatus(), Gdiplus::Ok);
    ASSERT_EQ(decoded.GetFrameCount(&Gdiplus::FrameDimensionTime), 4u);
    const UINT loopBytes = decoded.GetPropertyItemSize(PropertyTagLoopCount);
    std::vector<BYTE> loop(std::max(loopBytes, static_cast<UINT>(sizeof(Gdiplus::PropertyItem))));
    auto* loopItem = reinterpret_cast<Gdiplus::PropertyItem*>(loop.data());
    ASSERT_EQ(decoded.GetPropertyItem(PropertyTagLoopCount, loopBytes, loopItem), Gdiplus::Ok);
    EXPECT_EQ(*static_cast<const USHORT*>(loopItem->value), 0);
    for (UINT i = 0; i < 4; ++i) {
        const Frame& f = frames[i];
        ASSERT_EQ(decoded.SelectActiveFrame(&Gdiplus::FrameDimensionTime, i), Gdiplus::Ok);
        Gdiplus::Color colour;
        decoded.GetPixel(f.inside.x, f.inside.y, &colour);
        EXPECT_TRUE(closeTo(colour.GetValue(), f.colour)) << i << ": " << std::hex << colour.GetValue();
        decoded.GetPixel(479 - f.inside.x, 479 - f.inside.y, &colour);
        EXPECT_TRUE(closeTo(colour.GetValue(), f.colour)) << i << ": " << std::hex << colour.GetValue();
        if (f.outside.x < 0)
            continue;
        decoded.GetPixel(f.outside.x, f.outside.y, &colour);
        EXPECT_TRUE(closeTo(colour.GetValue(), kBlack)) << i << ": " << std::hex << colour.GetValue();
    }
}

TEST_F(GifWriterFiles, FrameSizeAndDelaySettings)
{
    // SetDelay's value in hundredths is what a first frame without a delay of its own shows for.
    struct Case { int width, height, setDelayMs, expectedReturn, frameMs; int expectedWidth, expectedDelay; };
    for (const Case& c : {
             Case { 0, 48, 33, 3, 33, 320, 3 },
             Case { 64, 48, 33, 3, 5, 64, 3 },
             Case { 64, 48, 0, 0, 0, 64, 10 },
             Case { -5, 48, -40, -40, 120, 320, 12 },
         }) {
        GifWriter writer;
        writer.SetSize(c.width, c.height);
        EXPECT_EQ(writer.SetDelay(c.setDelayMs), c.expectedReturn) << c.setDelayMs;
        ASSERT_TRUE(writer.Begin(output(L"sized.gif")));
        ASSERT_TRUE(writer.AddFrame(picture(30, 20, kRed), c.frameMs));
        ASSERT_TRUE(writer.AddFrame(picture(30, 20, kBlue), c.frameMs + 500));
        // Size changes once the file is open are ignored.
        writer.SetSize(100, 100);
        ASSERT_TRUE(writer.Save());
        const GiflibView gif(m_folder.read(L"sized.gif"));
        EXPECT_TRUE(gif.complete);
        EXPECT_EQ(std::tuple(gif.width, gif.height), std::tuple(c.expectedWidth, c.height)) << c.width;
        EXPECT_EQ(gif.delays, std::vector<int>(2, c.expectedDelay)) << c.frameMs;
    }
}

TEST_F(GifWriterFiles, CompletesEveryFileOnceAndRefusesWhatItCannotWrite)
{
    // One frame still makes a whole file, ended by its trailer; the file is completed once.
    GifWriter single;
    single.SetSize(48, 48);
    ASSERT_TRUE(single.Begin(output(L"single.gif")));
    ASSERT_TRUE(single.AddFrame(picture(48, 48, kGreen), 40));
    EXPECT_TRUE(single.Save());
    const std::vector<BYTE> bytes = m_folder.read(L"single.gif");
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.back(), 0x3B);
    const GiflibView gif(bytes);
    EXPECT_TRUE(gif.complete);
    EXPECT_EQ(gif.delays, std::vector<int>({ 4 }));
    Gdiplus::Bitmap decoded(output(L"single.gif"));
    EXPECT_EQ(decoded.GetLastStatus(), Gdiplus::Ok);
    EXPECT_FALSE(single.Save());
    EXPECT_FALSE(single.AddFrame(picture(48, 48, kGreen), 40));

    // A picture that cannot be loaded still gives a frame, a black one.
    GifWriter unloadable;
    unloadable.SetSize(16, 16);
    ASSERT_TRUE(unloadable.Begin(output(L"black.gif")));
    EXPECT_TRUE(unloadable.AddFrame(output(L"no such picture.png"), 40));
    EXPECT_TRUE(unloadable.Save());
    Gdiplus::Bitmap black(output(L"black.gif"));
    Gdiplus::Color colour;
    black.GetPixel(8, 8, &colour);
    EXPECT_TRUE(closeTo(colour.GetValue(), kBlack)) << std::hex << colour.GetValue();

    // Refusals: nothing added, nothing to save, no file left behind.
    struct Case { const char* what; int height; bool begin; const wchar_t* path; };
    for (const Case& c : {
             Case { "not begun", 48, false, L"never.gif" },
             Case { "height 0", 0, true, L"flat.gif" },
             Case { "height below 0", -3, true, L"negative.gif" },
             Case { "height beyond a GIF's", 70000, true, L"tall.gif" },
             Case { "folder missing", 48, true, L"no folder\\missing.gif" },
         }) {
        GifWriter writer;
        writer.SetSize(48, c.height);
        if (c.begin)
            writer.Begin(output(c.path));
        EXPECT_FALSE(writer.AddFrame(picture(48, 48, kRed), 40)) << c.what;
        EXPECT_FALSE(writer.Save()) << c.what;
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(output(c.path).GetString()))) << c.what;
    }
    // Begun but given no frame: nothing to complete.
    GifWriter empty;
    empty.Begin(output(L"empty.gif"));
    EXPECT_FALSE(empty.Save());
}
