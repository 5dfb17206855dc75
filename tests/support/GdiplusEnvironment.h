#pragma once
// Starts GDI+ for a whole test program, the way a host starts the library:
//   static auto* const gdiplus = ::testing::AddGlobalTestEnvironment(new KOVA::test::GdiplusEnvironment);
#include "LibraryHost.h"
#include "platform/Win32.h"

namespace KOVA::test {

using GdiplusEnvironment = LibraryHost;

} // namespace KOVA::test
