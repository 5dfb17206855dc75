// The exporters' work folders: the per-user data folder, nested creation and silent
// recursive deletion, on the real shell and file system under a scratch folder.
#include <gtest/gtest.h>

#include <vector>

#include <shlobj.h>
#include <shlwapi.h>

#include "ScratchFile.h"
#include "LibraryHost.h"
#include "ScratchFolder.h"
#include "UnreachableLocalAppData.h"
#include "lcd/media/MediaFolders.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// A scratch folder for one test; the folders longer than MAX_PATH it makes go first, since
// the file system library's removal stops at them.
class MediaFolders : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const CString& folder : m_longFolders)
            RemoveDirectoryW(L"\\\\?\\" + folder);
    }
    CString path(const wchar_t* below) const { return m_scratch / below; }
    static bool isFolder(const CString& path) { return PathIsDirectoryW(path) != FALSE; }
    // A folder whose full path has exactly length characters (no trailing backslash), made
    // through the long-path prefix so that no limit of the plain form gets in the way.
    CString folderOfLength(int length, wchar_t fill)
    {
        CString folder = m_scratch.path() + CString(fill, length - m_scratch.path().GetLength());
        CreateDirectoryW(L"\\\\?\\" + folder, nullptr);
        m_longFolders.push_back(folder);
        return folder;
    }

    ScratchFolder m_scratch { L"kova-mediafolders" };
    std::vector<CString> m_longFolders;
};

} // namespace

TEST_F(MediaFolders, DataFolderLiesInTheLocalAppDataOrIsTheBareSuffixWhenTheSystemCannotTell)
{
    wchar_t local[MAX_PATH] {};
    ASSERT_GT(GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH), 0u);
    EXPECT_STREQ(GetDataFolder(), CString(local) + L"\\BRAVIK Files\\datav12\\");
    {
        UnreachableLocalAppData unreachable;
        wchar_t probe[MAX_PATH + 1] {};
        ASSERT_TRUE(FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, probe)));
        EXPECT_STREQ(GetDataFolder(), L"\\BRAVIK Files\\datav12\\");
        // A folder at the root of the current drive is never the exporters' folder.
        EXPECT_STREQ(GetExportFramesFolder(), L"");
    }
    EXPECT_STREQ(GetExportFramesFolder(), CString(local) + L"\\BRAVIK Files\\datav12\\\\frames\\");
    EXPECT_STREQ(GetDataFolder(), CString(local) + L"\\BRAVIK Files\\datav12\\");
}

TEST_F(MediaFolders, CreatesEveryMissingFolderOfAPathAndLeavesAnExistingOneAlone)
{
    for (const wchar_t* below : { L"A\\B\\C\\", L"D\\E", L"F\\\\G\\" }) {
        CreateDirectoryPath(path(below));
        EXPECT_TRUE(isFolder(path(below))) << below;
    }
    EXPECT_TRUE(isFolder(path(L"A\\B")));
    EXPECT_TRUE(isFolder(path(L"F")));
    // A folder that exists keeps what it holds.
    const ScratchFile held(path(L"A\\B\\C\\"), L"frame_0.jpg", { 'x' });
    ASSERT_TRUE(held.written());
    CreateDirectoryPath(path(L"A\\B\\C\\"));
    EXPECT_TRUE(PathFileExistsW(held.path()));
}

TEST_F(MediaFolders, DeletesAFolderWithAllItHoldsSilentlyAndRefusesOverlongPaths)
{
    CreateDirectoryPath(path(L"frames\\inner\\"));
    const ScratchFile files[] = { { path(L"frames\\"), L"frame_0.jpg", { 'x' } }, { path(L"frames\\"), L"frame_1.jpg", { 'x' } },
                                  { path(L"frames\\inner\\"), L"frame_2.jpg", { 'x' } } };
    for (const ScratchFile& file : files)
        ASSERT_TRUE(file.written()) << file.path();
    EXPECT_TRUE(DeleteDirectory(path(L"frames\\")));
    EXPECT_FALSE(PathFileExistsW(path(L"frames")));
    // Nothing there: no dialog, FALSE.
    EXPECT_FALSE(DeleteDirectory(path(L"frames\\")));
    EXPECT_FALSE(DeleteDirectory(nullptr));

    // The longest path the shell takes is deleted; longer ones are refused, whatever is there,
    // and never cut down to the folder their first MAX_PATH - 1 characters name.
    const CString longest = folderOfLength(MAX_PATH - 1, L'a');
    ASSERT_TRUE(isFolder(longest));
    EXPECT_TRUE(DeleteDirectory(longest));
    EXPECT_FALSE(isFolder(longest));
    const CString prefix = folderOfLength(MAX_PATH - 1, L'b');
    for (const int extra : { 1, 30 }) {
        const CString overlong = folderOfLength(MAX_PATH - 1 + extra, L'b');
        ASSERT_TRUE(isFolder(L"\\\\?\\" + overlong)) << overlong.GetLength();
        EXPECT_FALSE(DeleteDirectory(overlong)) << overlong.GetLength();
        EXPECT_TRUE(isFolder(L"\\\\?\\" + overlong)) << overlong.GetLength();
    }
    EXPECT_FALSE(DeleteDirectory(prefix + CString(L'b', 300)));
    EXPECT_TRUE(isFolder(prefix));
}
