#pragma once
// The user media list: the host's own pictures, animated GIFs and videos for the device LCD,
// four thumbnails to the first row and all the others on the second. A thumbnail is the
// picture (a GIF's first frame) or a video's first frame, kept no larger than the LCD screen:
// a photo of many megapixels would otherwise stay decoded whole for every item.
#include "platform/Win32.h"

#include "lcd/pickers/LcdPickerGrid.h"
#include "lcd/media/VideoClipHandle.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace cv {
class Mat;
}

namespace KOVA {

struct KOVA_API MediaItemInfo : ListItem {
    CString path;
    int kind { 0 };  // MediaKind
    // 1 for a picture, a GIF's frames, a video's reported frames; 0 when nothing was read.
    int frameCount { 0 };
};

class KOVA_API LEDImageCtrl : public LcdPickerGrid {
public:
    LEDImageCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the value fields, a lock and a video reader of its own and no items.
    LEDImageCtrl(const LEDImageCtrl& other);
    LEDImageCtrl& operator=(const LEDImageCtrl& other);
    ~LEDImageCtrl() override;

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    // Stores the rectangle only: no repaint request.
    void SetControlRect(CRect rect) override;
    // The list has nothing timed.
    int OnControlTimer() override;

    // A missing file is listed without thumbnail; a video that does not open and a GIF
    // without frame dimensions are not listed.
    void AddItem(CString path, int kind);
    // Gives a valid item another medium. A missing file changes nothing; a video that does not
    // open or a GIF without frame dimensions leaves the item with the new path and no
    // thumbnail, and asks for no repaint.
    void SetItemInfo(int index, CString path, int kind);
    // Path and kind of a valid item; both untouched otherwise.
    void GetItemInfo(int index, CString& path, int& kind);
    // Frees the thumbnail only; the file stays on disk.
    using LcdPickerGrid::DeleteItemFile;
    void SetRun(int run);
    void SetLEDScreenType(int type);

protected:
    // A decoded frame stretched into target (halftone), as the media views draw theirs.
    void DrawFrame(HDC& dc, cv::Mat& frame, CRect target);

private:
    struct Thumbnail;
    // What the file gives; Refused for a video that does not open or a GIF without frames.
    Thumbnail makeThumbnail(const CString& path, int kind);
    Thumbnail videoThumbnail(const CString& path);
    Thumbnail pictureThumbnail(const CString& path, int kind) const;
    SIZE screenSize() const;
    VideoClip& video();

    int m_videoWidth { 0 };
    int m_videoHeight { 0 };
    // Made by the first video read or frame drawn; a copy makes its own.
    NotCopied<VideoClipPtr> m_video;
};

} // namespace KOVA
