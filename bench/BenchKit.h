// The harness every benchmark program shares: the clock, the runner that times rounds after
// untimed warm-ups, the memory surfaces a repaint lands on and the floor of a plain fill and
// blit measured beside it, and the scratch files and skins the programs write. Each program
// keeps only its scene, its floor's own work and its printed lines.
#pragma once

#include "KOVA.h"

#include <functional>
#include <memory>
#include <vector>

namespace BenchKit {

// The performance counter in milliseconds and in microseconds.
double nowMs();
double nowUs();

// How many rounds run untimed before the timed ones that are kept.
struct Runs {
    int warmups;
    int timed;
};

// The kept samples of a run, sorted, and the figures the programs print from them.
class Samples {
public:
    explicit Samples(std::vector<double> samples);
    double min() const { return m_sorted.front(); }
    // The middle sample; of an even count, the upper of the two.
    double median() const { return m_sorted[m_sorted.size() / 2]; }
    // The mean of the two middle samples of an even count.
    double meanOfMiddles() const { return (m_sorted[m_sorted.size() / 2 - 1] + m_sorted[m_sorted.size() / 2]) / 2; }
    double p90() const { return m_sorted[m_sorted.size() * 9 / 10 - 1]; }

private:
    std::vector<double> m_sorted;
};

// Times step(round) for every round, each after an untimed prepare() when one is given.
Samples sample(Runs runs, const std::function<void(int)>& step, double (*clock)() = nowMs,
               const std::function<void()>& prepare = {});
// The same with the message queue drained before every round, so that a round's time holds
// only the work its own step posts.
Samples sampleDrained(Runs runs, const std::function<void(int)>& step, const std::function<void()>& prepare = {});
double medianMs(Runs runs, const std::function<void(int)>& step);

// Times several parts of every round, so that each figure of a frame is measured in the same
// run on the same frames: a round is step(round, time), which runs each part it times through
// time(part, work); what it does outside time is not counted. The median of each part, in ms.
using PartTimer = std::function<void(int part, const std::function<void()>& work)>;
std::vector<double> partMediansMs(Runs runs, int parts, const std::function<void(int round, const PartTimer& time)>& step);
// The mean of the two middle samples, in microseconds, of the drained rounds.
double drainedMedianUs(Runs runs, const std::function<void()>& prepare, const std::function<void(int)>& step);

void drainMessages();

// SetInstance and GDI+ for the life of a program's main.
class LibraryScope {
public:
    explicit LibraryScope(HINSTANCE instance);
    ~LibraryScope();
    LibraryScope(const LibraryScope&) = delete;
    LibraryScope& operator=(const LibraryScope&) = delete;
};

// A dialog with nothing of its own: a window and a paint manager for the controls measured.
class PlainDialog : public KOVA::MDialog {};

// Gives a control to a paint manager, which owns and paints it from then on.
template <class Control>
Control* adopt(KOVA::PaintManager& manager, Control* control)
{
    control->SetManager(&manager);
    manager.AppendControl(control, 1);
    return control;
}

// A top-level window of a class of its own, its messages going to proc.
HWND openWindow(const wchar_t* className, WNDPROC proc, DWORD style, int x, int y, int width, int height);

// The LCD renderer with what the benches set and draw directly in reach.
class OpenLcd : public KOVA::LEDModeCtrl {
public:
    using LEDModeCtrl::LEDModeCtrl;
    void cacheLayers(bool cached) { m_layersCached = cached; }
    using LEDModeCtrl::HiddenFramePixels;

protected:
    // The settings the frame's dispatch gives its own Graphics.
    void setUpAsFrame(Gdiplus::Graphics& g) const
    {
        g.SetTextRenderingHint(m_textRenderingHint);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    }
};

// A bitmap compatible with a DC (the screen's when none is given) in a memory DC of its own.
class MemoryPicture {
public:
    MemoryPicture(int width, int height, HDC like = nullptr);
    ~MemoryPicture();
    MemoryPicture(const MemoryPicture&) = delete;
    MemoryPicture& operator=(const MemoryPicture&) = delete;
    HDC& dc() { return m_dc; }

private:
    HDC m_dc { nullptr };
    HBITMAP m_bitmap { nullptr };
    HGDIOBJ m_previous { nullptr };
};

// A window's back buffer stand-in with a source picture beside it. The floor of a repaint is
// a fill of the source copied onto the target.
class BackBuffer {
public:
    BackBuffer(int width, int height);
    HDC& target() { return m_target.dc(); }
    HDC& source() { return m_source.dc(); }
    void fillAndBlit();

private:
    int m_width;
    int m_height;
    MemoryPicture m_target { m_width, m_height };
    MemoryPicture m_source { m_width, m_height };
};

// A 32-bit top-down DIB in a memory DC, its pixels in reach.
class DibSurface {
public:
    DibSurface(int width, int height);
    ~DibSurface();
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;
    HDC& dc() { return m_dc; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    BYTE* bits() const { return m_bits; }
    size_t bytes() const { return static_cast<size_t>(m_width) * m_height * 4; }
    void clear();

private:
    int m_width;
    int m_height;
    HDC m_dc { nullptr };
    HBITMAP m_bitmap { nullptr };
    HGDIOBJ m_previous { nullptr };
    BYTE* m_bits { nullptr };
};

// The folder of the running program, with its trailing backslash.
CString programFolder();
// skins\THEME\ beside the program, where the library loads skin images from; made if missing.
CString skinFolder();
CString tempFolder();
// NAME-PID\ in the temporary folder, made for one run's files.
CString scratchFolder(const wchar_t* name);

CLSID encoderClsid(const wchar_t* mime);
bool savePng(Gdiplus::Image& image, const CString& path);
std::unique_ptr<Gdiplus::Bitmap> gradientBitmap(int width, int height, Gdiplus::Color from, Gdiplus::Color to,
                                                Gdiplus::LinearGradientMode mode);
bool writeGradientPng(const CString& path, int width, int height, Gdiplus::Color from, Gdiplus::Color to,
                      Gdiplus::LinearGradientMode mode);
// An animated GIF of frames frames of width × height through GDI+'s indexed route, frame k
// painted by paint(g, k).
bool writeGif(const CString& path, int width, int height, int frames,
              const std::function<void(Gdiplus::Graphics& g, int k)>& paint);

// The floor of the renderer's frame: the median of a bare encode, at the same quality, of the
// very pixels the hidden render's last frame gave its encoder (turned as the device gets them).
double bareEncodeMs(Runs runs, KOVA::LcdJpegEncoder& encoder, OpenLcd& lcd, int quality);
// The same floor as one part of a round: the pixels of the frame the round just made, copied
// untimed, encoded as part part.
void timeBareEncode(KOVA::LcdJpegEncoder& encoder, OpenLcd& lcd, int quality, const PartTimer& time, int part);

} // namespace BenchKit
