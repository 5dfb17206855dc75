#pragma once
// The frame delays of a GIF file, read with giflib: Wine's GDI+ loses the delays of frames
// that carry an application extension, as the common tools write them.
#include <vector>

#include "platform/CString.h"

namespace KOVA {

// The delay of every frame that has one, in hundredths of a second, in frame order; a file
// cut short gives the delays of the frames before the cut; empty when it does not open.
std::vector<int> ReadGifDelays(const CString& path);

} // namespace KOVA
