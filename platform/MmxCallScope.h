#pragma once
// Code built for MMX can return with the MMX registers still in use: FFmpeg's JPEG decoder
// does when a scan's entropy data is corrupt (its error path skips the EMMS it ends the good
// path with), and a host's own codec may do the same on a thread the library draws on. The
// MMX registers are the x87 register stack, which then reads as full, and every float the
// thread's x87 code loads afterwards becomes NaN. GDI+ keeps its matrices in such floats: a
// Graphics made on that thread turns every point to NaN and lays text out 2^31 pixels high,
// overrunning its own glyph buffers.
#include <mmintrin.h>

namespace KOVA {

// Gives the x87 register stack back; costs next to nothing when no MMX code ran.
inline void EmptyMmxState()
{
    _mm_empty();
}

// Empties the state when a call into such code ends, on whichever path it leaves.
class MmxCallScope {
public:
    MmxCallScope() = default;
    ~MmxCallScope() { EmptyMmxState(); }
    MmxCallScope(const MmxCallScope&) = delete;
    MmxCallScope& operator=(const MmxCallScope&) = delete;
};

} // namespace KOVA
