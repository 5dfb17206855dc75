#include "framework/PaintManager.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "DibCanvas.h"
#include "GdiplusEnvironment.h"
#include "RecordingControl.h"
#include "TestWindow.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

auto* const gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

class BackgroundProbe : public PaintManager {
public:
    using PaintManager::renderBackBuffer;
};

constexpr int kWidth = 9;
constexpr int kHeight = 6;
constexpr DWORD kStale = 0x7F7F7F7F;

// Fills itself through GDI and notes the DC it is drawn into: the window's back buffer, whose
// pixels can then be read.
class BufferReader : public MControl {
public:
    BufferReader(MObject* parent, CRect rect) : MControl(parent, 1, rect, 1, 1, 1) {}
    void DrawControl(HDC& dc, CRect) override
    {
        MRender::FillSolidRect(dc, &m_rect, RGB(0x33, 0x66, 0x99));
        buffer = dc;
    }
    DWORD pixel(int x, int y) const
    {
        GdiFlush();
        DIBSECTION dib {};
        GetObjectW(GetCurrentObject(buffer, OBJ_BITMAP), sizeof(dib), &dib);
        const auto* bits = static_cast<const DWORD*>(dib.dsBm.bmBits);
        return bits[(dib.dsBm.bmHeight - 1 - y) * dib.dsBm.bmWidth + x];
    }

    HDC buffer { nullptr };
};

} // namespace

// The plain background is written row by row into the part being painted: the window's
// outermost pixels inside that part take the border colour, whichever edges the part touches,
// and nothing outside it is written.
TEST(PlainBackground, APartialPaintFramesOnlyTheWindowEdgesItTouches)
{
    BackgroundProbe manager;
    manager.SetBackColor(RGB(10, 20, 30), RGB(200, 0, 0));
    BackBuffer buffer;
    HDC screen = GetDC(nullptr);
    ASSERT_TRUE(buffer.Ensure(screen, kWidth, kHeight));
    ReleaseDC(nullptr, screen);
    DWORD* pixels = reinterpret_cast<DWORD*>(buffer.bits());
    auto pixel = [&](int x, int y) { return pixels[(kHeight - 1 - y) * kWidth + x]; };
    const CRect client(0, 0, kWidth, kHeight);
    manager.renderBackBuffer(buffer.dc(), buffer.bits(), client, client);
    const DWORD edge = pixel(0, 0), inside = pixel(1, 1);
    ASSERT_TRUE(nearColor(edge & 0xFFFFFF, 0xC80000, 1)) << std::hex << edge;
    ASSERT_TRUE(nearColor(inside & 0xFFFFFF, 0x0A141E, 1)) << std::hex << inside;

    for (const CRect& part : { CRect(0, 0, 3, 2), CRect(5, 3, 9, 6), CRect(2, 1, 6, 4), CRect(8, 0, 9, 6),
                               CRect(0, 5, 9, 6), CRect(0, 1, 9, 5), CRect(-2, 2, 4, 9), client }) {
        std::fill_n(pixels, kWidth * kHeight, kStale);
        manager.renderBackBuffer(buffer.dc(), buffer.bits(), client, part);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const bool onEdge = x == 0 || y == 0 || x == kWidth - 1 || y == kHeight - 1;
                const DWORD expected = !part.PtInRect(POINT { x, y }) ? kStale : onEdge ? edge : inside;
                EXPECT_EQ(expected, pixel(x, y)) << "part (" << part.left << ", " << part.top << ", " << part.right
                                                 << ", " << part.bottom << ") at " << x << ", " << y;
            }
        }
    }
}

// Wine clips a paint's own rectangle to the screen, yet a layered window is presented whole:
// what GDI drew on the part off the screen must be made opaque all the same.
TEST(LayeredPaint, AWindowPartlyOffTheScreenIsMadeOpaqueWhole)
{
    TestWindow window(200, 100);
    ::SetWindowPos(window.hwnd(), nullptr, ::GetSystemMetrics(SM_CXSCREEN) - 20, 100, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pumpMessages();
    PaintManager manager;
    manager.Init(window.hwnd(), nullptr);
    manager.SetLayeredWindow(1);
    RecordingParent top;
    auto* reader = new BufferReader(&top, CRect(100, 20, 180, 80));
    reader->SetManager(&manager);
    manager.AppendControl(reader, 1);
    ::InvalidateRect(window.hwnd(), nullptr, FALSE);
    ASSERT_EQ(1, manager.OnPaint());
    ASSERT_TRUE(reader->buffer);
    EXPECT_EQ(0xFF336699u, reader->pixel(150, 50));
    manager.DestroyData();
}
