#include "lcd/media/MediaFolders.h"

#include <cwctype>

#include <shlobj.h>
#include <shlwapi.h>

#include "framework/Registry.h"

namespace KOVA {

namespace {
// No confirmation, no progress and no error dialogs: the exporters delete their temporary
// folder on the caller's thread, where a dialog would stall the export.
constexpr FILEOP_FLAGS kSilentDelete =
    FOF_MULTIDESTFILES | FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI;
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
