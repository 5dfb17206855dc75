#pragma once
// A single-line rich edit: its line is a 16-px band centred vertically, and its tip is
// centred on that band.
#include "platform/Win32.h"

#include "controls/input/MRichEdit.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API MEditEx : public MRichEdit {
public:
    MEditEx(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);
    MEditEx(const MEditEx& other) = default;
    MEditEx& operator=(const MEditEx& other) = default;

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    void SetControlRect(CRect rect) override;
};

} // namespace KOVA
