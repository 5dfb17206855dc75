#pragma once
// Starts the library for a whole test program the way a host does (its instance, GDI+):
//   static auto* const host = ::testing::AddGlobalTestEnvironment(new KOVA::test::LibraryHost);
#include <gtest/gtest.h>

#include "KOVA.h"

namespace KOVA::test {

class LibraryHost : public ::testing::Environment {
public:
    void SetUp() override
    {
        Manager::SetInstance(GetModuleHandleW(nullptr));
        Manager::InitGdiplus();
    }
    void TearDown() override { Manager::UnInitGdiplus(); }
};

} // namespace KOVA::test
