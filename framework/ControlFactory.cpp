#include "framework/ControlFactory.h"

namespace KOVA {

MControl* CreateControlByClassName(ControlTable, const wchar_t*, MObject*, UINT, CRect, const wchar_t*, int, int)
{
    return nullptr;
}

} // namespace KOVA
