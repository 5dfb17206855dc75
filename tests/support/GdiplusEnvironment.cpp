#include "GdiplusEnvironment.h"

namespace KOVA::test {

void GdiplusEnvironment::SetUp()
{
    const Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&m_token, &input, nullptr));
}

void GdiplusEnvironment::TearDown()
{
    Gdiplus::GdiplusShutdown(m_token);
    m_token = 0;
}

} // namespace KOVA::test
