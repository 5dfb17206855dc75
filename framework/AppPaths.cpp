#include "framework/AppPaths.h"

#include <vector>

#include "framework/Manager.h"

namespace KOVA {

namespace {
// GetModuleFileNameW truncates silently: grow until the whole path fits.
std::vector<wchar_t> exeFileName()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(GetModuleHandleW(nullptr), path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::vector<wchar_t>(1, L'\0');
        if (length < path.size())
            return path;
        path.resize(path.size() * 2);
    }
}

CString folderOf(const wchar_t* fileName)
{
    CString folder(fileName);
    const int slash = folder.ReverseFind(L'\\');
    folder = folder.Left(slash + 1);
    return folder;
}
} // namespace

wchar_t* GetExeDirectory(wchar_t* buffer)
{
    if (!buffer)
        return nullptr;
    buffer[0] = L'\0';
    const CString folder = GetExePath();
    if (folder.GetLength() >= kExeDirectoryCapacity)
        return nullptr;
    wcscpy_s(buffer, kExeDirectoryCapacity, folder);
    return buffer;
}

CString GetExePath()
{
    return folderOf(exeFileName().data());
}

CString GetSkinPath()
{
    return GetExePath() + L"skins\\" + Manager::GetTheme();
}

} // namespace KOVA
