#pragma once
// Base of the controls that show a title or an image strip: the text font, alignment and
// colour they draw with, and one strip from the paint manager's image cache. It draws
// nothing itself; subclasses read these members when they draw.
#include "platform/Win32.h"

#include <memory>
#include <type_traits>

#include "framework/MControl.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"

namespace KOVA {

struct ImgResInfo;

class KOVA_API MControlFont : public MControl {
public:
    MControlFont(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled,
                 int response);
    // A copy takes the value fields and a brush of its own; its GDI font is made on demand.
    MControlFont(const MControlFont& other);
    MControlFont& operator=(const MControlFont& other);
    ~MControlFont() override;

    virtual void SetTextFont(CString face);
    virtual void SetTextColor(Gdiplus::Color color);
    // A resource of the host module (Manager::GetInstance), cut into count frames.
    virtual int SetImage(UINT resourceId, CString type, int count);
    // A file relative to the skin folder, cut into count frames.
    virtual int SetImage(const wchar_t* path, int count);
    virtual void SetControlTitle(const wchar_t* title);
    virtual CString GetControlTitle();

    // Title
    void SetTitle(const wchar_t* title);
    CString GetTitle() { return GetControlTitle(); }

    // Font
    void SetFont(const wchar_t* face, int size, Gdiplus::FontStyle style);
    CString GetTextFont() const { return m_textFont; }
    void SetFontWidth(int size) { m_fontSize = size; }
    int GetFontWidth() const { return m_fontSize; }
    void SetFontStyle(Gdiplus::FontStyle style) { m_fontStyle = style; }
    Gdiplus::FontStyle GetFontStyle() const { return m_fontStyle; }
    void SetTextRenderingHint(Gdiplus::TextRenderingHint hint) { m_textRenderingHint = hint; }
    Gdiplus::TextRenderingHint GetTextRenderingHint() const { return m_textRenderingHint; }
    // The cached GDI font of the library-wide face at this control's size and style. The
    // control owns it: the handle stays valid until ClearGDIFont, SetTitle or destruction.
    HFONT GetGDIFont();
    void ClearGDIFont();
    // A new family for the face, or the paint manager's sans-serif stand-in when the face is
    // not installed; the caller deletes it. Null without a paint manager or without any font.
    Gdiplus::FontFamily* GetFontFamily(const wchar_t* face);

    // Text colour
    Gdiplus::Color GetTextColor() const { return m_textColor; }
    // Null only when the brush could not be allocated.
    Gdiplus::SolidBrush* GetTextBrush() const { return m_textBrush.get(); }

    // Alignment: DrawText flag values, horizontal 0 / 1 / 2, vertical 0 / 4 / 8.
    void SetAlignment(UINT horizontal);
    void SetVAlignment(UINT vertical);
    void SetAlignment(UINT horizontal, UINT vertical);
    void GetAlignment(UINT& horizontal, UINT& vertical) const;

    // Image strip. The image belongs to the paint manager's cache.
    const wchar_t* GetImagePath() const { return m_imagePath; }
    // A count below 1 is ignored: frames would have no width.
    void SetImageCount(int count);
    int GetImageCount() const { return m_imageCount; }
    Gdiplus::Image* GetImage() const { return m_image; }
    int GetImageWidth() const { return m_imageWidth; }
    int GetImageHeight() const { return m_imageHeight; }
    int GetFrameWidth() const { return m_imageWidth / m_imageCount; }

protected:
    // The text font subclasses draw with: the face at the font size in pixels and the style,
    // through the paint manager's fallback so that a missing face still shows text. Null
    // without a paint manager or when GDI+ has no font at all.
    std::unique_ptr<Gdiplus::Font> CreateTextFont() const;
    // The control's alignment as GDI+ string alignments.
    void ApplyAlignment(Gdiplus::StringFormat& format) const;
    // Draws text in rect with the control's font, brush, alignment and rendering hint.
    // Returns 0 and draws nothing when there is no font or no brush.
    int DrawString(Gdiplus::Graphics& graphics, const CString& text, const CRect& rect) const;

    CString m_title;
    CString m_textFont;
    CString m_imagePath;
    int m_fontSize { 14 };
    Gdiplus::Color m_textColor { 0xFFFFFFFF };
    std::unique_ptr<Gdiplus::SolidBrush> m_textBrush;
    Gdiplus::FontStyle m_fontStyle { Gdiplus::FontStyleRegular };
    // The family GetFontFamily handed out last; its caller owns it, so it is never read here.
    Gdiplus::FontFamily* m_fontFamily { nullptr };
    UINT m_hAlign { 0 };
    UINT m_vAlign { DT_VCENTER };
    Gdiplus::TextRenderingHint m_textRenderingHint { Gdiplus::TextRenderingHintClearTypeGridFit };
    Gdiplus::Image* m_image { nullptr };
    int m_imageWidth { 0 };   // the whole strip
    int m_imageHeight { 0 };
    int m_imageCount { 4 };

private:
    struct GdiFontDeleter {
        void operator()(HFONT font) const { DeleteObject(font); }
    };
    std::unique_ptr<std::remove_pointer_t<HFONT>, GdiFontDeleter> m_gdiFont;

    const Gdiplus::FontFamily* sharedFamily(const wchar_t* face) const;
    bool canTakeImage(int count) const;
    int takeImage(const ImgResInfo* record, int count);
    void replaceTextBrush(Gdiplus::Color color);
    void copyValuesFrom(const MControlFont& other);
    void requestRepaint() { UpdateControl(1, 0); }
};

} // namespace KOVA
