#pragma once
// A fixed ring-gauge picture: a dark disc in a grey field, an elliptic ring of dots, a thick
// 300-degree arc track with a short coloured segment at its start and two thin circles. Every
// size is fixed and scaled only by the display scale; it takes no input.
#include "platform/Win32.h"

#include "framework/MControlFont.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API UsageRateCtrl : public MControlFont {
public:
    UsageRateCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;

private:
    void paint(Gdiplus::Graphics& graphics) const;
};

} // namespace KOVA
