#pragma once
// Where the host keeps the library's files: everything is found beside the executable.
#include <windows.h>

#include "platform/CString.h"

namespace KOVA {

constexpr int kExeDirectoryCapacity = MAX_PATH;

// Writes the host executable's folder, ending in a backslash, into a buffer of
// kExeDirectoryCapacity characters. Returns the buffer, or null when the buffer is null or
// the folder does not fit (the buffer then holds an empty string).
wchar_t* GetExeDirectory(wchar_t* buffer);

// The host executable's folder with its trailing backslash, whatever its length.
CString GetExePath();

// GetExePath + "skins\" + the theme folder.
CString GetSkinPath();

} // namespace KOVA
