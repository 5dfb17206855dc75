#include "FolderEntries.h"

#include <algorithm>

#include "platform/Win32.h"

namespace KOVA::test {

std::vector<CString> folderEntries(const CString& folder)
{
    std::vector<CString> names;
    WIN32_FIND_DATAW found {};
    const HANDLE find = ::FindFirstFileW(folder + L"*", &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const CString name(found.cFileName);
        if (name != L"." && name != L"..")
            names.push_back(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? name + L"\\" : name);
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace KOVA::test
