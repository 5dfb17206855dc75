#pragma once
// A video clip held by a public class without its header pulling in OpenCV (lcd/media/VideoClip.h).
#include <memory>

namespace KOVA {

class VideoClip;
struct VideoClipDeleter {
    void operator()(VideoClip* clip) const;
};
using VideoClipPtr = std::unique_ptr<VideoClip, VideoClipDeleter>;

} // namespace KOVA
