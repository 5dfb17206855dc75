#pragma once
// The hardware gauge: the readings of one component as the host hands them in, on a 553 × 809
// design canvas centred in the control: a title, one or two needle dials with their values,
// and below them two boxes of description pairs (the temperature types 1 and 2) or a line, a
// usage bar and a column of text boxes (every other type). The temperature unit follows the
// registry value led_cpushowtype, read at each redraw. CHardwareInfoBkg is the plain picture
// the host places behind it. Neither takes input.
#include "platform/Win32.h"

#include <memory>

#include "controls/basic/LookPainting.h"
#include "framework/MControlFont.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class KOVA_API CHardwareInfoBkg : public MControlFont {
public:
    CHardwareInfoBkg(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    const wchar_t* GetClassNameW() const override;
    // The control image, fitted and centred.
    void DrawControl(HDC& dc, CRect paintRect) override;
};

class KOVA_API CHardwareInfo : public MControlFont {
public:
    CHardwareInfo(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the value fields: no images.
    CHardwareInfo(const CHardwareInfo& other);
    CHardwareInfo& operator=(const CHardwareInfo& other);
    ~CHardwareInfo() override;

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;

    // Shows at the next redraw.
    void SetHardwareType(int type);
    void SetHardwareInfo(CString title, CString first, CString second);
    void SetHardwareInfoValue(int first, int second);
    void SetHardwareDesc(CString d0, CString d1, CString d2);
    void SetHardwareDescValue(CString e0, CString e1, CString e2);
    // Amounts in gigabytes: the line above the bar reads "used GB / total GB" and the first
    // value is the used share in percent. The share is 0 when the total is not positive and
    // held within 0 … 1.
    void SetMemoryUsed(float freeAmount, float used);
    // Skin files; show at the next redraw.
    void SetPointImage(CString file);
    void SetProcessImage(CString file);

    static constexpr int kCanvasWidth = 553;
    static constexpr int kCanvasHeight = 809;

    // The needle's angle in degrees for a value on a dial whose full sweep is span.
    static int NeedleAngle(int value, int span);
    // The temperature format for a stored led_cpushowtype text.
    static const wchar_t* TemperatureFormat(const CString& showType);

    // Where a dial's needle turns and its texts stand on the canvas.
    struct DialRows;

private:
    bool isTemperature() const { return m_type == 1 || m_type == 2; }
    void paint(Gdiplus::Graphics& graphics);
    void drawNeedle(Gdiplus::Graphics& graphics, int angle, Gdiplus::PointF pivot) const;
    void drawDial(Gdiplus::Graphics& graphics, CPoint origin, const DialRows& rows, int angle,
                  const CString& label, const CString& value);
    void drawTemperatureBoxes(Gdiplus::Graphics& graphics, CPoint origin);
    void drawUsage(Gdiplus::Graphics& graphics, CPoint origin);
    void text(Gdiplus::Graphics& graphics, const CString& line, const Gdiplus::Font* font, Gdiplus::RectF place,
              const Gdiplus::StringFormat* format, Gdiplus::ARGB colour);

    NotCopied<std::unique_ptr<Gdiplus::Image>> m_needle;
    int m_needleWidth { 0 };
    int m_needleHeight { 0 };
    NotCopied<std::unique_ptr<Gdiplus::Image>> m_bar;
    int m_barWidth { 0 };
    int m_barHeight { 0 };
    int m_type { 0 };
    CString m_info[3];
    int m_firstValue { 0 };
    int m_secondValue { 0 };
    CString m_desc[3];
    CString m_descValue[3];
    float m_usedFraction { 0.0f };
    NotCopied<KeptFont> m_fontA;
    NotCopied<KeptFont> m_fontB;
    NotCopied<KeptFont> m_fontC;
    NotCopied<KeptFormat> m_nearFormat;
    NotCopied<KeptFormat> m_centredFormat;
    NotCopied<std::unique_ptr<Gdiplus::SolidBrush>> m_brush;
};

} // namespace KOVA
