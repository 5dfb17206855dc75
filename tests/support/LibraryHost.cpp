#include "LibraryHost.h"

#include "KOVA.h"

namespace KOVA::test {

void LibraryHost::SetUp()
{
    Manager::SetInstance(GetModuleHandleW(nullptr));
    Manager::InitGdiplus();
}

void LibraryHost::TearDown()
{
    Manager::UnInitGdiplus();
}

} // namespace KOVA::test
