#pragma once
// The folders the media exporters work in: the library's per-user data folder, a folder path
// made with every missing parent, and a folder deleted with everything inside it.
#include "platform/Win32.h"

#include "platform/CString.h"

namespace KOVA {

// The user's local application-data folder followed by "\<brand> Files\datav12\"; just that
// suffix when the system cannot tell the folder.
CString GetDataFolder();

// The exporters' temporary folder of numbered frames, "frames\" inside the data folder; empty
// when the data folder is not a full path (the system could not tell it), so that an exporter
// never deletes or writes a folder outside it.
CString GetExportFramesFolder();

// Creates the folder and every missing folder above it; whether it exists afterwards is
// found out by the writes that follow.
void CreateDirectoryPath(const wchar_t* path);

// Deletes the folder and its contents through the shell, with no dialog of any kind. FALSE
// when the shell fails, and for a path of MAX_PATH characters or more, which the shell
// cannot take.
BOOL DeleteDirectory(const wchar_t* path);

} // namespace KOVA
