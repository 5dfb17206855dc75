#pragma once
// Starts the library for a whole test program the way a host does (its instance, GDI+):
//   static auto* const host = ::testing::AddGlobalTestEnvironment(new KOVA::test::LibraryHost);
#include <gtest/gtest.h>

namespace KOVA::test {

class LibraryHost : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
};

} // namespace KOVA::test
