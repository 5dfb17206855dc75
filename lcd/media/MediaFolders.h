#pragma once
// The folders the media exporters work in: the library's per-user data folder, the folder of
// frames each export holds for itself, a folder path made with every missing parent, and a
// folder deleted with everything inside it.
#include "platform/Win32.h"

#include "platform/CString.h"

namespace KOVA {

// The user's local application-data folder followed by "\<brand> Files\datav12\"; just that
// suffix when the system cannot tell the folder.
CString GetDataFolder();

// The exporters' temporary folder, "frames\" inside the data folder, which holds one folder of
// numbered frames per export in progress; empty when the data folder is not a full path (the
// system could not tell it), so that an exporter never deletes or writes a folder outside it.
CString GetExportFramesFolder();

// One export's own folder of frames inside the exporters' folder, for the object's life.
// Exports run at once, on the host's threads and in several host processes sharing the data
// folder, so each writes into a folder no other touches. Its name is held by a lock file beside
// it, open without sharing and deleted when closed: the system closes it however the process
// ends, so a folder whose name nobody holds is a dead export's. Claiming deletes those, with any
// file lying loose in the exporters' folder (an older version wrote its frames there flat), and
// never touches a held one; going, the object deletes its folder, lets go of its name and removes
// the exporters' folder when nothing else is left in it.
class OwnFramesFolder {
public:
    // Nothing is deleted or written when GetExportFramesFolder is empty.
    OwnFramesFolder();
    ~OwnFramesFolder();
    OwnFramesFolder(const OwnFramesFolder&) = delete;
    OwnFramesFolder& operator=(const OwnFramesFolder&) = delete;

    // The folder, ending in a backslash; empty when none could be claimed.
    const CString& path() const { return m_path; }

private:
    bool claim();

    CString m_frames;
    CString m_path;
    HANDLE m_hold { INVALID_HANDLE_VALUE };
};

// Creates the folder and every missing folder above it; whether it exists afterwards is
// found out by the writes that follow.
void CreateDirectoryPath(const wchar_t* path);

// Deletes the folder and its contents through the shell, with no dialog of any kind. FALSE
// when the shell fails, and for a path of MAX_PATH characters or more, which the shell
// cannot take.
BOOL DeleteDirectory(const wchar_t* path);

} // namespace KOVA
