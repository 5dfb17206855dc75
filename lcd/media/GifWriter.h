#pragma once
// Turns a sequence of picture files (the frames an export leaves in its temporary folder)
// into one animated GIF that loops forever. Every frame is fitted into one frame size,
// keeping its aspect, centred on black, cut down to its own 256 colours, and written to the
// file as it is added, so only the frame at hand is held in memory. Every frame shows for the
// delay of the first. One writer per export, on the exporting thread.
#include "platform/Win32.h"

#include <memory>

#include "platform/CRect.h"
#include "platform/CString.h"

namespace KOVA {

class GifWriter {
public:
    GifWriter();
    ~GifWriter();
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;

    // Sets the frame size, until the first frame is added; a width below 1 becomes 320.
    void SetSize(int width, int height);
    // Names the file the next first frame creates.
    bool Begin(const CString& path);
    // Sets the delay used when the first frame comes with none (below 10 ms); returns it in
    // hundredths of a second, or the argument unchanged when it is below 1.
    int SetDelay(int milliseconds);
    // Adds one frame; false when not begun, the frame size cannot be written, or the file
    // cannot be written. A picture that cannot be loaded gives a black frame.
    bool AddFrame(const CString& imageFile, int milliseconds);
    // Completes and closes the file, one frame or many; false when nothing was begun and
    // added, or the file could not be completed.
    bool Save();

    // Where a source picture goes in target: its own size when it fits (never enlarged),
    // else scaled down to fit by the side that overflows more relative to the frame's
    // aspect; centred either way.
    CRect FitRect(int sourceWidth, int sourceHeight, const CRect& target) const;

private:
    struct Encoder;

    bool WriteFirstFrame(int delay);
    bool AppendFrame();
    void RenderFrame(const CString& imageFile);

    std::unique_ptr<Encoder> m_encoder;
    int m_frameWidth { 1300 };
    int m_frameHeight { 100 };
    int m_defaultDelay { 10 };
    bool m_started { false };
    bool m_hasFirstFrame { false };
    // In hundredths of a second, for every frame of the open file.
    int m_fileDelay { 0 };
    CString m_path;
};

} // namespace KOVA
