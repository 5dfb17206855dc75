#pragma once
// The colours every frame of a GIF shows, read back with giflib: an export's test tells by them
// whose frames went into the file, and how many.
#include <vector>

#include "platform/Win32.h"
#include "platform/CString.h"

namespace KOVA::test {

// Per frame, in order, the distinct colours (0x00RRGGBB, ascending) its pixels take; empty when
// the file cannot be read whole.
std::vector<std::vector<DWORD>> readGifColours(const CString& path);

// The largest difference of one channel between any colour of colours and rgb.
int farthestFrom(const std::vector<DWORD>& colours, DWORD rgb);

} // namespace KOVA::test
