#pragma once
// Starts the library for a whole test program the way a host does (its instance, GDI+), with
// a user registry hive and data folder of the program's own (PrivateUserProfile):
//   static auto* const host = ::testing::AddGlobalTestEnvironment(new KOVA::test::LibraryHost);
#include <memory>

#include <gtest/gtest.h>

#include "KOVA.h"
#include "PrivateUserProfile.h"

namespace KOVA::test {

class LibraryHost : public ::testing::Environment {
public:
    void SetUp() override
    {
        m_profile = std::make_unique<PrivateUserProfile>();
        Manager::SetInstance(GetModuleHandleW(nullptr));
        Manager::InitGdiplus();
    }
    void TearDown() override
    {
        Manager::UnInitGdiplus();
        m_profile.reset();
    }

private:
    std::unique_ptr<PrivateUserProfile> m_profile;
};

} // namespace KOVA::test
