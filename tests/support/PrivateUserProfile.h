#pragma once
// Gives a test program a user registry hive and a local application-data folder of its own.
// Test programs run side by side in one Wine prefix; the library keeps its settings under the
// user's registry key and its media work folder under the user's data folder, so without this
// two programs writing them would decide each other's results. The hive is a key the
// process sees as HKEY_CURRENT_USER; the folder lies in the program's scratch folder.
#include <memory>

#include "platform/Win32.h"

namespace KOVA::test {

class ScratchFolder;

class PrivateUserProfile {
public:
    PrivateUserProfile();
    ~PrivateUserProfile();
    PrivateUserProfile(const PrivateUserProfile&) = delete;
    PrivateUserProfile& operator=(const PrivateUserProfile&) = delete;

private:
    std::unique_ptr<ScratchFolder> m_folder;
    HKEY m_hive { nullptr };
    wchar_t m_hiveName[64] {};
};

} // namespace KOVA::test
