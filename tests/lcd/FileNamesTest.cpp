// The names users give their files: letters of the ANSI code page beyond ASCII, letters outside
// it, emoji, and folders so named on the way, the data folder among them. Every surface opens,
// shows and exports such a file under its own name, never another's. The program runs once per
// ANSI code page (tests/CMakeLists.txt): a name within one code page lies outside another.
#include <algorithm>
#include <cstdlib>

#include <opencv2/core.hpp>

#include "FolderEntries.h"
#include "PlayerClips.h"
#include "ScratchFile.h"
#include "UnreachableLocalAppData.h"
#include "VideoSurfaces.h"
#include "lcd/media/MediaFolders.h"
#include "lcd/media/VideoClip.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

struct NamedClip {
    const wchar_t* folder; // below the scratch folder, ending in a backslash
    const wchar_t* stem;
    const wchar_t* extension;
    const char* clip; // the player clip it is a copy of
};

const NamedClip kNames[] = {
    { L"", L"Mädchen café – Ü", L".mp4", "h264.mp4" },
    // Best fit makes "Lancut" of it in the Western and Cyrillic code pages.
    { L"", L"Łańcut", L".mp4", "h264.mp4" },
    { L"Дмитрий\\Видео\\", L"Прогулка по парку", L".mp4", "h264.mp4" },
    { L"", L"東京の夜", L".mov", "hevc-rot90.mov" },
    { L"", L"🎬 Ελληνικά", L".mp4", "h264.mp4" },
    { L"José\\Vídeos\\", L"clip", L".avi", "mjpeg.avi" },
};
// What a decoy holds: the same picture turned half round, which no row shows.
constexpr const char* kDecoyClip = "h264-rot180.mp4";

// The name a narrow path makes of itself when read in the ANSI code page.
CString readInAnsi(const std::string& narrow)
{
    return CString(narrow.c_str());
}

// The names another file could be opened or written under in this code page: the path through
// the system's best fit (what handing it over in the ANSI code page gives), and its UTF-8 bytes
// read in the ANSI code page (what a reader of ANSI paths makes of FFmpeg's UTF-8). Only those
// that differ from the path and are names a file can have.
std::vector<CString> decoyNames(const CString& path)
{
    std::vector<CString> names;
    for (const CString& name : { readInAnsi(WideToAnsiString(path)), readInAnsi(FfmpegPath(path)) }) {
        const bool usable = !name.IsEmpty() && name != path && name.Find(L'?') < 0 && name.Find(L'*') < 0;
        if (usable && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

CString folderOf(const CString& path)
{
    return path.Left(path.ReverseFind(L'\\') + 1);
}

// A copy of the player clip under path, its folders made; false when it could not be written.
bool copyClip(const char* clip, const CString& path)
{
    CreateDirectoryPath(folderOf(path));
    return ::CopyFileW(playerClip(clip).path(), path, FALSE) != 0;
}

// The code page this run is registered for, when it is run as registered.
UINT registeredCodePage()
{
    const char* expected = std::getenv("KOVA_ANSI_CODE_PAGE");
    return expected ? static_cast<UINT>(std::atoi(expected)) : 0;
}

struct Looks {
    const char* surface;
    cv::Mat look;
};

} // namespace

TEST(FileNames, TheRunHasTheCodePageItIsRegisteredFor)
{
    if (!registeredCodePage())
        GTEST_SKIP() << "run by hand, under code page " << ::GetACP();
    EXPECT_EQ(registeredCodePage(), ::GetACP()) << "the Unix locale of this run is missing: tools/install-packages.sh makes it";
}

// Each name opens on every surface and shows its own clip; its exports land under the very
// names asked for, beside nothing else; a decoy placed under any name the code page could turn
// it into is never opened. The data folder, where the GIF export keeps its frames, lies in a
// profile named beyond ASCII too.
TEST(FileNames, EveryNameOpensAndExportsOnEverySurfaceAndNeverAnother)
{
    const ScratchFolder folder(L"file-names");
    const CString profile = folder / L"Дмитрий José\\AppData\\Local";
    CreateDirectoryPath(profile);
    const LocalAppDataAt dataFolder(profile);
    ASSERT_EQ(0, GetDataFolder().Find(profile)) << "the data folder is not the profile's";
    PinnedClock clock(10000);
    int decoys = 0;
    for (const NamedClip& row : kNames) {
        const CString clipFolder = folder.path() + row.folder;
        const CString path = clipFolder + row.stem + row.extension;
        SCOPED_TRACE(FfmpegPath(path) + " (" + row.clip + ")");
        ASSERT_TRUE(copyClip(row.clip, path));
        for (const CString& decoy : decoyNames(path))
            decoys += copyClip(kDecoyClip, decoy) ? 1 : 0;
        const std::vector<CString> before = folderEntries(clipFolder);
        const Quadrants player = playerClip(row.clip).quadrants;

        ClipView view;
        EXPECT_EQ(1, view.SetFileName(path, MediaKindVideo)) << "view: does not open";
        const CString exportStem = clipFolder + row.stem + L" export";
        const Looks surfaces[] = {
            { "view", view.look() },
            { "file screen", fileScreenLook(path) },
            { "clock", clockLook(path) },
            { "media list", thumbnailLook(path) },
            { "start-up frames", startupFramesLook(path, exportStem + L" frame") },
        };
        for (const Looks& surface : surfaces) {
            const Quadrants shown = quadrantsOf(surface.look);
            EXPECT_TRUE(sameQuadrants(shown, player)) << surface.surface << ": " << describe(shown);
        }
        const CString gif = exportStem + L".gif";
        const CString mp4 = exportStem + L".mp4";
        const Exported exported = exportLooks(view, path, gif, mp4);
        EXPECT_TRUE(sameQuadrants(quadrantsOf(exported.gif), player)) << "GIF: " << describe(quadrantsOf(exported.gif));
        EXPECT_TRUE(sameQuadrants(quadrantsOf(exported.mp4), player)) << "MP4: " << describe(quadrantsOf(exported.mp4));
        std::vector<CString> expected = before;
        expected.push_back(CString(row.stem) + L" export.gif");
        expected.push_back(CString(row.stem) + L" export.mp4");
        std::sort(expected.begin(), expected.end());
        EXPECT_TRUE(folderEntries(clipFolder) == expected) << "the exports are not exactly the names asked for";
        ::DeleteFileW(gif);
        ::DeleteFileW(mp4);
    }
    // Best fit changes "Łańcut" in the Western and Cyrillic code pages; in every code page the
    // UTF-8 bytes of the letters beyond ASCII read as other letters.
    EXPECT_GE(decoys, 2) << "no decoy could be placed: the test shows nothing";
    EXPECT_TRUE(folderEntries(GetExportFramesFolder()).empty()) << "the GIF exports left frames";
}

// With its file gone, a name opens nothing, though decoys stand under every name the code page
// could turn it into: no surface shows a decoy's picture.
TEST(FileNames, AMissingNameOpensNoDecoy)
{
    const ScratchFolder folder(L"file-names-missing");
    const Quadrants decoyPicture = playerClip(kDecoyClip).quadrants;
    for (const NamedClip& row : kNames) {
        const CString path = folder.path() + row.folder + row.stem + row.extension;
        SCOPED_TRACE(FfmpegPath(path));
        for (const CString& decoy : decoyNames(path))
            copyClip(kDecoyClip, decoy);
        ClipView view;
        EXPECT_EQ(0, view.SetFileName(path, MediaKindVideo));
        EXPECT_FALSE(sameQuadrants(quadrantsOf(fileScreenLook(path)), decoyPicture)) << "file screen";
        EXPECT_FALSE(sameQuadrants(quadrantsOf(thumbnailLook(path)), decoyPicture)) << "media list";
    }
}

// An MP4 export that cannot be written under its name reports failure and leaves no file
// under any name: in a folder that does not exist, and under a name holding half a surrogate
// pair, which no file can have.
TEST(FileNames, AnMp4ExportThatFailsLeavesNoFileUnderAnyName)
{
    const ScratchFolder folder(L"file-names-export");
    const CString clip = folder / L"clip.mp4";
    ASSERT_TRUE(copyClip("h264.mp4", clip));
    const CString targets[] = {
        folder / L"Нет такой папки\\видео.mp4",
        folder / L"half \xD83C pair.mp4",
        folder / L"half \xDFAC pair é.mp4",
    };
    for (const CString& target : targets) {
        SCOPED_TRACE(FfmpegPath(target));
        ClipView view;
        ASSERT_EQ(1, view.SetFileName(clip, MediaKindVideo));
        view.exportRange(3);
        view.SaveMP4File(target, kExportProgress);
        EXPECT_EQ(0, view.GetLastExportResult());
        EXPECT_EQ(std::vector<CString> { L"clip.mp4" }, folderEntries(folder.path()));
    }
}
