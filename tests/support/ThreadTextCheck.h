#pragma once
// Whether GDI+ still draws text as it should on the calling thread: code that leaves the MMX
// registers in use makes every float GDI+ keeps in the x87 registers NaN, and a Graphics
// made afterwards transforms every point to NaN and lays text out 2^31 pixels high.
namespace KOVA::test {

// The height in pixels of the ink of "88" drawn 20 px high on a fresh Graphics over a canvas
// of this thread; -1 when that Graphics' world transform is not the identity (nothing is then
// drawn: the drawing itself could overrun GDI+'s buffers).
int textInkHeightHere();

} // namespace KOVA::test
