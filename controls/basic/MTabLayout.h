#pragma once
// A tab's page, made by MTabCtrl::CreatePanel: a panel that draws nothing of its own, passes
// fast-timer ticks on to its children and takes the mouse only over them, so that elsewhere
// the pointer reaches what lies under the page.
#include "platform/Win32.h"

#include "framework/MPanel.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API MTabLayout : public MPanel {
public:
    MTabLayout(MObject* parent, UINT id, CRect rect, int visible);

    const wchar_t* GetClassNameW() const override;
    int OnCheckMouseResponse(UINT msg, CPoint pt) override;
};

} // namespace KOVA
