#include "lcd/LcdJpegEncoder.h"

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

int LcdJpegEncoder::Encode(const BYTE* firstRow, int width, int height, int stride, int quality)
{
    Compressor& c = *m_compressor;
    if (!c.created || !firstRow || width <= 0 || height <= 0 || c.output.empty())
        return 0;
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
        JDIMENSION count = 0;
        for (; count < kRowsPerCall && c.info.next_scanline + count < c.info.image_height; ++count) {
            const ptrdiff_t y = static_cast<ptrdiff_t>(c.info.next_scanline + count);
            rows[count] = const_cast<JSAMPROW>(firstRow + y * stride);
        }
        jpeg_write_scanlines(&c.info, rows, count);
    }
    jpeg_finish_compress(&c.info);
    return static_cast<int>(c.output.size() - c.destination.free_in_buffer);
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
