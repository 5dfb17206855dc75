#pragma once
// Root of everything that receives notifications and repaint requests: every windowless
// control and the windows that host them.
#include <windows.h>

#include "platform/KovaExport.h"
#include "platform/CRect.h"

namespace KOVA {

class MControl;

class KOVA_API MObject {
public:
    MObject() = default;
    MObject(const MObject&) = default;
    MObject& operator=(const MObject&) = default;
    virtual ~MObject() = default;

    // 1 when GetClassNameW equals the name exactly.
    virtual int IsClass(const wchar_t* name);
    virtual const wchar_t* GetClassNameW() const;
    virtual const wchar_t* GetObjectClass();
    virtual const wchar_t* BaseObjectClassName();
    // The notification entry: a child reports (its id, code, wParam, lParam) here.
    virtual LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam);
    // The repaint request entry: a non-zero flag asks to rebuild the requester's picture.
    virtual LONG OnControlUpdate(CRect rect, int flag, MControl* control);
};

} // namespace KOVA
