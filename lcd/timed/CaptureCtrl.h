#pragma once
// A live view of another window's client area on a grey ground, stretched over the whole view
// and copied again at every repaint the fast timer asks for. The window is only referred to:
// one that no longer exists leaves the grey ground.
#include "platform/Win32.h"

#include "lcd/timed/LcdTimedView.h"
#include "platform/CRect.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API CaptureCtrl : public LcdTimedView {
public:
    CaptureCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy refers to the same window; its picture is made anew.
    CaptureCtrl(const CaptureCtrl& other) = default;
    CaptureCtrl& operator=(const CaptureCtrl& other) = default;
    ~CaptureCtrl() override;

    const wchar_t* GetClassNameW() const override;
    // Shown from the next repaint on.
    void SetCaptureWnd(HWND window) { m_captureWnd = window; }

protected:
    void PaintPicture(HDC picture, int width, int height) override;

private:
    HWND m_captureWnd { nullptr };
};

} // namespace KOVA
