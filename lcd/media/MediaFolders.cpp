#include "lcd/media/MediaFolders.h"

#include <atomic>
#include <cwctype>
#include <iterator>
#include <vector>

#include <shlobj.h>
#include <shlwapi.h>

#include "framework/Registry.h"

namespace KOVA {

namespace {
// No confirmation, no progress and no error dialogs: the exporters delete their temporary
// folder on the caller's thread, where a dialog would stall the export.
constexpr FILEOP_FLAGS kSilentDelete =
    FOF_MULTIDESTFILES | FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI;

// An export's folder <name> is held by <name>.lock beside it: beside rather than inside, so the
// name is held before the folder exists and until after it is gone.
constexpr wchar_t kHoldSuffix[] = L".lock";
constexpr int kHoldSuffixLength = static_cast<int>(std::size(kHoldSuffix)) - 1;
// A name is taken (by a live export, or by one claiming or sweeping it this moment) or its
// folder cannot be made: the next number is tried, this many times in all.
constexpr int kClaimAttempts = 16;

// Numbers the claims of this process, so that its exports on several threads never try one name.
std::atomic<unsigned> g_claims { 0 };

// Holds the name of folder: its lock file, opened with no sharing, so that no other process or
// thread opens it until the handle is closed, and deleted then, by the system when the process
// dies. INVALID_HANDLE_VALUE when someone holds it already (or, CREATE_NEW, it exists).
HANDLE holdName(const CString& folder, DWORD disposition)
{
    return ::CreateFileW(folder + kHoldSuffix, GENERIC_READ | DELETE, 0, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

bool endsWithHoldSuffix(const CString& name)
{
    return name.GetLength() > kHoldSuffixLength && name.Right(kHoldSuffixLength).CompareNoCase(kHoldSuffix) == 0;
}

// Deletes folder when its name is free, holding the name meanwhile so that no export claims it
// halfway through.
void sweepUnheld(const CString& folder)
{
    const HANDLE hold = holdName(folder, OPEN_ALWAYS);
    if (hold == INVALID_HANDLE_VALUE)
        return;
    if (PathIsDirectoryW(folder))
        DeleteDirectory(folder);
    ::CloseHandle(hold);
}

// Everything in frames that no live export holds: dead exports' folders, lock files left by a
// system that went down, and loose files. Read whole first: entries are deleted meanwhile.
void sweep(const CString& frames)
{
    std::vector<WIN32_FIND_DATAW> entries;
    WIN32_FIND_DATAW found {};
    const HANDLE find = ::FindFirstFileW(frames + L"*", &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do
        entries.push_back(found);
    while (::FindNextFileW(find, &found));
    ::FindClose(find);
    for (const WIN32_FIND_DATAW& entry : entries) {
        const CString name(entry.cFileName);
        if (name == L"." || name == L"..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            sweepUnheld(frames + name);
        else if (endsWithHoldSuffix(name))
            sweepUnheld(frames + name.Left(name.GetLength() - kHoldSuffixLength));
        else
            ::DeleteFileW(frames + name);
    }
}
} // namespace

CString GetDataFolder()
{
    CString folder;
    const HRESULT found = SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                           folder.GetBufferSetLength(MAX_PATH + 1));
    folder.ReleaseBuffer();
    if (FAILED(found))
        folder.Empty();
    folder.AppendFormat(L"\\%s Files\\datav12\\", static_cast<const wchar_t*>(GetBrandName()));
    return folder;
}

CString GetExportFramesFolder()
{
    const CString data = GetDataFolder();
    // Only a folder on a drive ("C:\...") or a share ("\\server\...") is the user's: the bare
    // suffix a failed lookup leaves names a folder at the root of whatever drive is current.
    const bool onDrive = data.GetLength() > 2 && iswalpha(data[0]) && data[1] == L':' && data[2] == L'\\';
    const bool onShare = data.GetLength() > 2 && data[0] == L'\\' && data[1] == L'\\' && data[2] != L'\\';
    if (!onDrive && !onShare)
        return CString();
    return data + L"\\frames\\";
}

OwnFramesFolder::OwnFramesFolder() : m_frames(GetExportFramesFolder())
{
    if (m_frames.IsEmpty())
        return;
    CreateDirectoryPath(m_frames);
    sweep(m_frames);
    for (int attempt = 0; attempt < kClaimAttempts; ++attempt) {
        if (claim())
            return;
    }
}

OwnFramesFolder::~OwnFramesFolder()
{
    if (m_path.IsEmpty())
        return;
    DeleteDirectory(m_path);
    ::CloseHandle(m_hold);
    // Fails, as it should, while anything is left in it.
    ::RemoveDirectoryW(m_frames);
}

// A fresh folder under a name held first. The exporters' folder is made again each time: another
// export that ended may just have removed it, empty. A folder already there, though unheld, is
// left to the next sweep: it may be a dead export's of the same number under a reused process id.
bool OwnFramesFolder::claim()
{
    CString folder;
    folder.Format(L"%sexport-%lu-%u", m_frames.GetString(), ::GetCurrentProcessId(), g_claims++);
    CreateDirectoryPath(m_frames);
    const HANDLE hold = holdName(folder, CREATE_NEW);
    if (hold == INVALID_HANDLE_VALUE)
        return false;
    if (!::CreateDirectoryW(folder, nullptr)) {
        ::CloseHandle(hold);
        return false;
    }
    m_hold = hold;
    m_path = folder + L"\\";
    return true;
}

void CreateDirectoryPath(const wchar_t* path)
{
    if (!path || PathIsDirectoryW(path))
        return;
    const CString whole(path);
    // The part before the first backslash is the drive, which is never created by itself.
    const int drive = whole.Find(L'\\');
    if (drive >= 0) {
        for (int slash = whole.Find(L'\\', drive + 1); slash >= 0; slash = whole.Find(L'\\', slash + 1))
            CreateDirectoryW(whole.Left(slash), nullptr);
    }
    SetLastError(ERROR_SUCCESS);
    CreateDirectoryW(whole, nullptr);
}

BOOL DeleteDirectory(const wchar_t* path)
{
    if (!path || !*path)
        return FALSE;
    const size_t length = wcslen(path);
    if (length >= MAX_PATH)
        return FALSE;
    // The shell takes a list of paths, each ended by a null, the list by one more.
    wchar_t source[MAX_PATH + 1] {};
    wmemcpy(source, path, length);
    SHFILEOPSTRUCTW operation {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = source;
    operation.fFlags = kSilentDelete;
    return SHFileOperationW(&operation) == 0 ? TRUE : FALSE;
}

} // namespace KOVA
