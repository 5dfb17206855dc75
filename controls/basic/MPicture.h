#pragma once
// The still pictures: a picture a control loads and owns, laid over the control in one of six
// show modes (ShownPicture, shared by MPicture, CPhotoFrame and CSliderPicture), and MPicture,
// which shows one.
#include "platform/Win32.h"

#include <memory>

#include "framework/MControlFont.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

// How a picture is laid over its control.
enum enumShowMode {
    ShowModeNormal = 0,      // natural size, placed by the control's alignment
    ShowModeTile = 1,        // tiled from the top-left corner
    ShowModeStretch = 2,
    ShowModeNineGrid = 3,    // corners of the corner size at natural size
    ShowModeNineGridMID = 4, // the same with four margins
    ShowModeCustomRect = 5,  // a source rectangle of the image stretched (MPicture)
};

namespace KOVA {

// A picture strip owned by its control (not the window's image cache); only its first frame
// is drawn. A copy takes the show mode and its values but not the image: two owners would
// release one image.
class KOVA_API ShownPicture {
public:
    // The skin file cut into frames: the old picture goes even when the new one does not load.
    // A count below 1 fails and changes nothing.
    int Load(const wchar_t* file, int frames);
    // A resource of the host module: the old picture goes only when the new one loads.
    int Load(UINT resourceId, CString type, int frames);

    // 1 when the mode differs, or in the nine-grid mode the corner: both are taken. 0 otherwise.
    int SetShowMode(enumShowMode mode, int value);
    // The nine-grid mode with four margins.
    void SetNineGridMargins(int left, int top, int right, int bottom);
    void SetCustomRect(CRect source) { m_customRect = source; }

    // The first frame over dst in the show mode; horizontal alignment 0 left, 2 right, vertical
    // 0 top, 8 bottom, anything else centred (natural size only). Nothing without a picture.
    void Draw(Gdiplus::Graphics& graphics, const CRect& dst, UINT hAlign, UINT vAlign) const;
    // The source rectangle of the image stretched over dst; nothing for an empty one.
    static void Stretch(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const CRect& dst, const CRect& src);
    // A new image of the skin file, or of a resource of the host module; null when it does not
    // load.
    static std::unique_ptr<Gdiplus::Image> LoadFile(const wchar_t* file);
    static std::unique_ptr<Gdiplus::Image> LoadResource(UINT resourceId, CString type);

    Gdiplus::Image* Image() const { return m_strip->image.get(); }
    int FrameWidth() const { return m_strip->frameWidth; }
    int FrameHeight() const { return m_strip->frameHeight; }
    int FrameCount() const { return m_strip->frameCount; }

private:
    struct Strip {
        std::unique_ptr<Gdiplus::Image> image;
        int frameWidth { 0 };
        int frameHeight { 0 };
        int frameCount { 1 };
    };
    void take(std::unique_ptr<Gdiplus::Image> image, int frames);
    void drawNatural(Gdiplus::Graphics& graphics, const CRect& dst, UINT hAlign, UINT vAlign) const;
    void drawTiles(Gdiplus::Graphics& graphics, const CRect& dst) const;

    NotCopied<Strip> m_strip;
    enumShowMode m_mode { ShowModeNormal };
    int m_corner { 4 };
    int m_marginLeft { 0 };
    int m_marginTop { 0 };
    int m_marginRight { 0 };
    int m_marginBottom { 0 };
    CRect m_customRect;
};

class KOVA_API MPicture : public MControlFont {
public:
    MPicture(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the show mode, not the picture.
    MPicture(const MPicture& other) = default;
    MPicture& operator=(const MPicture& other) = default;

    void DrawControl(HDC& dc, CRect paintRect) override;
    // Repaints whether or not the file loads: the old picture is gone either way.
    int SetImage(const wchar_t* path, int count) override;
    // Repaints only when the resource loads; otherwise the old picture stays.
    int SetImage(UINT resourceId, CString type, int count) override;

    int SetShowMode(enumShowMode mode, int value);
    int SetShowModeMID(int left, int top, int right, int bottom);
    // Image pixels (left, top, right, bottom) shown in the custom-rectangle mode; shows at the
    // next full redraw.
    void SetCustomRect(CRect source) { m_picture.SetCustomRect(source); }

private:
    ShownPicture m_picture;
};

} // namespace KOVA
