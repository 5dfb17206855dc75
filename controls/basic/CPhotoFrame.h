#pragma once
// A photo in a frame that answers the mouse as a push button does (code 1 on the press, code 2
// on the click): the photo laid over the control in a show mode, the frame image's second
// strip frame drawn over it as a nine-grid.
#include "platform/Win32.h"

#include "controls/basic/ButtonBase.h"
#include "controls/basic/MPicture.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API CPhotoFrame : public ButtonBase {
public:
    CPhotoFrame(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the show mode, neither the photo nor the frame image.
    CPhotoFrame(const CPhotoFrame& other) = default;
    CPhotoFrame& operator=(const CPhotoFrame& other) = default;

    void DrawControl(HDC& dc, CRect paintRect) override;
    // The frame image, a skin file or a host resource cut into frames, owned by the control.
    int SetImage(const wchar_t* path, int count) override;
    int SetImage(UINT resourceId, CString type, int count) override;

    // The photo; shows at the next full redraw.
    int SetPhotoFrame(const wchar_t* path, int count);
    int SetPhotoFrame(UINT resourceId, CString type, int count);
    int SetShowMode(enumShowMode mode, int value);
    int SetShowModeMID(int left, int top, int right, int bottom);

private:
    ShownPicture m_photo;
    ShownPicture m_frame;
};

} // namespace KOVA
