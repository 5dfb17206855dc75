#include "lcd/renderer/LcdJpegEncoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace KOVA {

namespace {
constexpr int kRowsPerCall = 16;
}

// libjpeg reports errors by calling error_exit, whose default ends the process; ours jumps
// back into Encode instead. Nothing with a destructor lives between setjmp and the jump.
struct LcdJpegEncoder::Compressor {
    struct ErrorManager {
        jpeg_error_mgr base {};
        jmp_buf escape {};
    };

    jpeg_compress_struct info {};
    ErrorManager errors;
    jpeg_destination_mgr destination {};
    std::vector<BYTE> output;
    // The rows of a turned picture, made a call's worth at a time.
    std::vector<DWORD> strip;
    bool created { false };

    static void onError(j_common_ptr common)
    {
        auto* manager = reinterpret_cast<ErrorManager*>(common->err);
        longjmp(manager->escape, 1);
    }
    static void onWarning(j_common_ptr, int) {}
    static void startDestination(j_compress_ptr) {}
    // Called only when the buffer is full: the file would not fit, so the frame is given up.
    static boolean refuseToGrow(j_compress_ptr info)
    {
        onError(reinterpret_cast<j_common_ptr>(info));
        return FALSE;
    }
    static void endDestination(j_compress_ptr) {}
};

LcdJpegEncoder::LcdJpegEncoder(int capacity) : m_compressor(new Compressor)
{
    Compressor& c = *m_compressor;
    c.output.resize(capacity > 0 ? static_cast<size_t>(capacity) : 0);
    c.info.err = jpeg_std_error(&c.errors.base);
    c.errors.base.error_exit = &Compressor::onError;
    c.errors.base.emit_message = &Compressor::onWarning;
    if (setjmp(c.errors.escape))
        return;
    jpeg_create_compress(&c.info);
    c.created = true;
    c.destination.init_destination = &Compressor::startDestination;
    c.destination.empty_output_buffer = &Compressor::refuseToGrow;
    c.destination.term_destination = &Compressor::endDestination;
    c.info.dest = &c.destination;
}

LcdJpegEncoder::~LcdJpegEncoder()
{
    if (m_compressor->created)
        jpeg_destroy_compress(&m_compressor->info);
}

namespace {

// Rows y to y + count - 1 of the picture turned clockwise by quarters (1 to 3) into strip, rows
// of turnedWidth pixels. A quarter turn goes column by column, reading each source row's run
// of count pixels together and writing a strip small enough to stay in the cache.
void turnRows(const BYTE* firstRow, int stride, int width, int height, int quarters, int y, int count, DWORD* strip,
              int turnedWidth)
{
    const auto sourceRow = [&](int row) {
        return reinterpret_cast<const DWORD*>(firstRow + static_cast<ptrdiff_t>(row) * stride);
    };
    if (quarters == 2) {
        for (int k = 0; k < count; ++k)
            std::reverse_copy(sourceRow(height - 1 - (y + k)), sourceRow(height - 1 - (y + k)) + width,
                              strip + static_cast<size_t>(k) * turnedWidth);
        return;
    }
    for (int x = 0; x < turnedWidth; ++x) {
        DWORD* into = strip + x;
        if (quarters == 1) {
            const DWORD* from = sourceRow(height - 1 - x) + y;
            for (int k = 0; k < count; ++k)
                into[static_cast<size_t>(k) * turnedWidth] = from[k];
        } else {
            const DWORD* from = sourceRow(x) + (width - 1 - y);
            for (int k = 0; k < count; ++k)
                into[static_cast<size_t>(k) * turnedWidth] = from[-k];
        }
    }
}

} // namespace

// rowsFrom (y, count, rows) points rows at the turned picture's rows y to y + count - 1.
template <class RowsFrom>
int LcdJpegEncoder::compress(int width, int height, int quality, RowsFrom rowsFrom)
{
    Compressor& c = *m_compressor;
    c.destination.next_output_byte = c.output.data();
    c.destination.free_in_buffer = c.output.size();
    if (setjmp(c.errors.escape)) {
        jpeg_abort_compress(&c.info);
        return 0;
    }
    c.info.image_width = static_cast<JDIMENSION>(width);
    c.info.image_height = static_cast<JDIMENSION>(height);
    c.info.input_components = 4;
    c.info.in_color_space = JCS_EXT_BGRA;
    jpeg_set_defaults(&c.info);
    jpeg_set_quality(&c.info, quality, TRUE);
    jpeg_start_compress(&c.info, TRUE);
    JSAMPROW rows[kRowsPerCall];
    while (c.info.next_scanline < c.info.image_height) {
        const int y = static_cast<int>(c.info.next_scanline);
        const int count = std::min(kRowsPerCall, height - y);
        rowsFrom(y, count, rows);
        jpeg_write_scanlines(&c.info, rows, static_cast<JDIMENSION>(count));
    }
    jpeg_finish_compress(&c.info);
    return static_cast<int>(c.output.size() - c.destination.free_in_buffer);
}

int LcdJpegEncoder::Encode(const BYTE* firstRow, int width, int height, int stride, int quality)
{
    Compressor& c = *m_compressor;
    if (!c.created || !firstRow || width <= 0 || height <= 0 || c.output.empty())
        return 0;
    return compress(width, height, quality, [&](int y, int count, JSAMPROW* rows) {
        for (int k = 0; k < count; ++k)
            rows[k] = const_cast<JSAMPROW>(firstRow + static_cast<ptrdiff_t>(y + k) * stride);
    });
}

int LcdJpegEncoder::EncodeTurned(const BYTE* firstRow, int width, int height, int stride, int quarters, int quality)
{
    quarters = ((quarters % 4) + 4) % 4;
    if (quarters == 0)
        return Encode(firstRow, width, height, stride, quality);
    Compressor& c = *m_compressor;
    if (!c.created || !firstRow || width <= 0 || height <= 0 || c.output.empty())
        return 0;
    const int turnedWidth = quarters == 2 ? width : height;
    const int turnedHeight = quarters == 2 ? height : width;
    c.strip.resize(static_cast<size_t>(turnedWidth) * kRowsPerCall);
    DWORD* strip = c.strip.data();
    return compress(turnedWidth, turnedHeight, quality, [&](int y, int count, JSAMPROW* rows) {
        turnRows(firstRow, stride, width, height, quarters, y, count, strip, turnedWidth);
        for (int k = 0; k < count; ++k)
            rows[k] = reinterpret_cast<JSAMPROW>(strip + static_cast<size_t>(k) * turnedWidth);
    });
}

const BYTE* LcdJpegEncoder::Data() const
{
    return m_compressor->output.data();
}

int LcdJpegEncoder::Capacity() const
{
    return static_cast<int>(m_compressor->output.size());
}

} // namespace KOVA
