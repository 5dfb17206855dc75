#pragma once
// An animated GIF exported through numbered JPEG frames: the walk the GIF exports of the media
// views share. The frames go into a folder of this export's own inside the data folder
// (OwnFramesFolder: other exports, on other threads or in other processes, run beside it; none
// when the data folder cannot be told, and no export); they are assembled into the GIF, each
// showing for the frame period; the folder is deleted however the export ends, and whatever is
// thrown while the frames are written or assembled fails the export instead of leaving it.
// Progress, in percent: 0 to 50 as frames are written, 50 to 95 as they are assembled, then 98
// when the GIF was saved or 100 when it was not.
//
// Runs on the exporting thread; the frame writer is called on it, inside Run.
#include <functional>
#include <vector>

#include "platform/CString.h"

namespace cv {
class Mat;
}

namespace KOVA {

class GifFramesExport {
public:
    using Progress = std::function<void(int percent)>;

    enum class Outcome {
        Saved,     // the GIF holds every frame written, at least one
        NotSaved,  // the frames were written but no GIF holding them all was completed
        Abandoned, // no frames folder, or writing the frames failed: nothing was assembled
    };

    // frames: how many frames the export means to write, what progress is measured in;
    // framePeriod: the milliseconds each frame shows; quality: the JPEG frames' quality.
    GifFramesExport(int frames, int framePeriod, int quality, Progress progress);
    GifFramesExport(const GifFramesExport&) = delete;
    GifFramesExport& operator=(const GifFramesExport&) = delete;

    // The GIF at path from the frames writeFrames writes through WriteFrame; it returns how many
    // numbered files, from 0 on, are to go in. A number WriteFrame could not write is left out;
    // a frame it wrote that is gone by the assembly, or that the GIF cannot take, fails the
    // export and deletes the GIF begun: a GIF short of frames is never taken for the clip.
    Outcome Run(const CString& path, const std::function<int(GifFramesExport&)>& writeFrames);

    // Writes frame as numbered file index and counts one more frame of the export done; false,
    // and no file, when it could not be written.
    bool WriteFrame(int index, const cv::Mat& frame);

private:
    Outcome walk(const CString& path, const std::function<int(GifFramesExport&)>& writeFrames);
    CString frameFile(int index) const;
    bool wrote(int index) const;
    bool assemble(const CString& path, int files) const;

    int m_frames;
    int m_framePeriod;
    int m_quality;
    Progress m_progress;
    CString m_folder;
    int m_done { 0 };
    std::vector<bool> m_written; // by index
};

} // namespace KOVA
