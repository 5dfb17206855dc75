#pragma once
// A progress ring: a grey circle with an arc in the selection colour running clockwise from
// twelve o'clock, and the value written in its middle.
#include "platform/Win32.h"

#include "controls/basic/ProgressBase.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API CircleProgress : public ProgressBase {
public:
    CircleProgress(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    void DrawControl(HDC& dc, CRect paintRect) override;
};

} // namespace KOVA
