#pragma once
// Encodes 32-bit BGRA frames as baseline JFIF files with libjpeg-turbo: one compressor kept
// for the encoder's life and an output buffer allocated once. A frame whose file would not
// fit in that buffer is refused rather than grown into. Not thread-safe: one per thread.
#include "platform/Win32.h"

#include <memory>

#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API LcdJpegEncoder {
public:
    explicit LcdJpegEncoder(int capacity);
    ~LcdJpegEncoder();
    LcdJpegEncoder(const LcdJpegEncoder&) = delete;
    LcdJpegEncoder& operator=(const LcdJpegEncoder&) = delete;

    // Encodes height rows of width pixels, blue, green, red, alpha (alpha ignored); row y
    // starts at firstRow + y × stride, so a negative stride reads a bottom-up picture.
    // Returns the file's size in bytes (its bytes at Data()), or 0 when it does not fit in
    // the capacity or libjpeg refuses the picture.
    int Encode(const BYTE* firstRow, int width, int height, int stride, int quality);
    // The same picture turned clockwise by quarters × 90 degrees (1 to 3; 0 encodes it as it
    // is): a few rows at a time are turned into a strip the compressor reads, so no turned copy
    // of the whole picture is made. The file's width and height are the turned picture's.
    int EncodeTurned(const BYTE* firstRow, int width, int height, int stride, int quarters, int quality);
    const BYTE* Data() const;
    int Capacity() const;

private:
    struct Compressor;
    template <class RowsFrom>
    int compress(int width, int height, int quality, RowsFrom rowsFrom);
    std::unique_ptr<Compressor> m_compressor;
};

} // namespace KOVA
