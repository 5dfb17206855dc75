#include "lcd/media/GifFramesExport.h"

#include <exception>

#include <opencv2/core.hpp>

#include "framework/Manager.h"
#include "lcd/media/GifWriter.h"
#include "lcd/media/MediaFolders.h"
#include "lcd/media/VideoClip.h"
#include "lcd/renderer/LcdImageHelpers.h"

namespace KOVA {

namespace {
constexpr int kFramesPercent = 50;
constexpr int kAssemblyPercent = 45;
constexpr int kSaved = 98;
constexpr int kEnded = 100;
} // namespace

GifFramesExport::GifFramesExport(int frames, int framePeriod, int quality, Progress progress)
    : m_frames(frames), m_framePeriod(framePeriod), m_quality(quality), m_progress(std::move(progress))
{
}

GifFramesExport::Outcome GifFramesExport::Run(const CString& path,
                                              const std::function<int(GifFramesExport&)>& writeFrames)
{
    m_folder = GetExportFramesFolder();
    if (m_folder.IsEmpty()) {
        m_progress(kEnded);
        return Outcome::Abandoned;
    }
    DeleteDirectory(m_folder);
    CreateDirectoryPath(m_folder);
    int files = 0;
    try {
        files = writeFrames(*this);
    } catch (const std::exception&) {
        DeleteDirectory(m_folder);
        m_progress(kEnded);
        return Outcome::Abandoned;
    }
    const bool saved = FailureOnThrow(false, [&] { return assemble(path, files); });
    DeleteDirectory(m_folder);
    m_progress(saved ? kSaved : kEnded);
    return saved ? Outcome::Saved : Outcome::NotSaved;
}

bool GifFramesExport::WriteFrame(int index, const cv::Mat& frame)
{
    const bool written = WriteJpegFile(frameFile(index), frame, m_quality) > 0;
    ++m_done;
    m_progress(static_cast<int>(m_done * static_cast<double>(kFramesPercent) / m_frames));
    return written;
}

CString GifFramesExport::frameFile(int index) const
{
    CString file;
    file.Format(L"%s\\frame_%d.jpg", m_folder.GetString(), index);
    return file;
}

// A file that is missing is skipped; a frame the writer cannot add ends the assembly with the
// frames it has.
bool GifFramesExport::assemble(const CString& path, int files) const
{
    GifWriter writer;
    writer.SetSize(Manager::GetLedScreenWidth(), Manager::GetLedScreenHeight());
    writer.Begin(path);
    if (m_framePeriod > 0)
        writer.SetDelay(m_framePeriod);
    int added = 0;
    for (int j = 0; j < files; ++j) {
        const CString file = frameFile(j);
        const bool present = ::GetFileAttributesW(file) != INVALID_FILE_ATTRIBUTES;
        const bool ok = !present || writer.AddFrame(file, m_framePeriod);
        added += present && ok ? 1 : 0;
        m_progress(static_cast<int>(kFramesPercent + static_cast<float>(kAssemblyPercent) * j / m_frames));
        if (!ok)
            break;
    }
    return writer.Save() && added > 0;
}

} // namespace KOVA
