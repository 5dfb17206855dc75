#pragma once
// Starts GDI+ for a whole test program:
//   static auto* const gdiplus = ::testing::AddGlobalTestEnvironment(new KOVA::test::GdiplusEnvironment);
#include "platform/Win32.h"

#include <gtest/gtest.h>

namespace KOVA::test {

class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;

private:
    ULONG_PTR m_token { 0 };
};

} // namespace KOVA::test
