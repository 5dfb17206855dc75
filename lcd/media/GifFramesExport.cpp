#include "lcd/media/GifFramesExport.h"

#include <algorithm>
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
    const Outcome outcome = walk(path, writeFrames);
    m_progress(outcome == Outcome::Saved ? kSaved : kEnded);
    return outcome;
}

bool GifFramesExport::WriteFrame(int index, const cv::Mat& frame)
{
    const bool written = WriteJpegFile(frameFile(index), frame, m_quality) > 0;
    if (written && index >= 0) {
        m_written.resize(std::max(m_written.size(), static_cast<size_t>(index) + 1));
        m_written[static_cast<size_t>(index)] = true;
    }
    ++m_done;
    m_progress(static_cast<int>(m_done * static_cast<double>(kFramesPercent) / m_frames));
    return written;
}

// The frames folder lives as long as this call: it is gone by the time the last progress is told.
GifFramesExport::Outcome GifFramesExport::walk(const CString& path,
                                               const std::function<int(GifFramesExport&)>& writeFrames)
{
    const OwnFramesFolder folder;
    m_folder = folder.path();
    if (m_folder.IsEmpty())
        return Outcome::Abandoned;
    int files = 0;
    try {
        files = writeFrames(*this);
    } catch (const std::exception&) {
        return Outcome::Abandoned;
    }
    return FailureOnThrow(false, [&] { return assemble(path, files); }) ? Outcome::Saved : Outcome::NotSaved;
}

CString GifFramesExport::frameFile(int index) const
{
    CString file;
    file.Format(L"%sframe_%d.jpg", m_folder.GetString(), index);
    return file;
}

bool GifFramesExport::wrote(int index) const
{
    return index >= 0 && static_cast<size_t>(index) < m_written.size() && m_written[static_cast<size_t>(index)];
}

// A number this export did not write is skipped; the first frame it wrote that is missing, or
// that the writer cannot add, ends the assembly a failure. The GIF file exists once a frame went
// in: closed, then deleted.
bool GifFramesExport::assemble(const CString& path, int files) const
{
    GifWriter writer;
    writer.SetSize(Manager::GetLedScreenWidth(), Manager::GetLedScreenHeight());
    writer.Begin(path);
    if (m_framePeriod > 0)
        writer.SetDelay(m_framePeriod);
    int added = 0;
    bool whole = true;
    for (int j = 0; j < files && whole; ++j) {
        if (wrote(j)) {
            const CString file = frameFile(j);
            whole = ::GetFileAttributesW(file) != INVALID_FILE_ATTRIBUTES && writer.AddFrame(file, m_framePeriod);
            added += whole ? 1 : 0;
        }
        m_progress(static_cast<int>(kFramesPercent + static_cast<float>(kAssemblyPercent) * j / m_frames));
    }
    const bool saved = writer.Save() && whole;
    if (!saved && added > 0)
        ::DeleteFileW(path);
    return saved;
}

} // namespace KOVA
