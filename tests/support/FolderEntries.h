#pragma once
// What a folder holds, for tests of code that keeps folders of its own inside another.
#include <vector>

#include "platform/CString.h"

namespace KOVA::test {

// The names of the files and folders in folder (a path ending in a backslash), a folder's name
// ending in a backslash, in name order; empty when there is no such folder.
std::vector<CString> folderEntries(const CString& folder);

} // namespace KOVA::test
