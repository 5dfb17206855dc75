#pragma once
#include "platform/Win32.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
namespace KOVA {
// An image a paint manager has loaded once for all its controls.
struct KOVA_API ImgResInfo {
    Gdiplus::Image* m_pImage { nullptr };
    int m_nWidth { 0 };      // frame width: image width / frame count
    int m_nHeight { 0 };
    int m_nFrameCount { 0 };
    CString m_strPath;       // skin-relative key; empty for resource images
    UINT m_uResID { 0 };
};
}
