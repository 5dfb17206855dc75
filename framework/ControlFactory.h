#pragma once
// The one place that turns a class name into a new control: the window factory
// (PaintManager::CreateControl) and the panel factory (MPanel::CreateControl) both ask it,
// each for its own table of names.
#include "platform/Win32.h"

#include <vector>

#include "platform/CRect.h"

namespace KOVA {

class MControl;
class MObject;

enum class ControlTable { Window, Panel };

// A new control of the named class built from (parent, id, rect, title, a, b) in the way the
// table gives for that name; attached to nothing and in no list. Null for a null, empty or
// unknown name (compared exactly, case and blanks included).
MControl* CreateControlByClassName(ControlTable table, const wchar_t* className, MObject* parent, UINT id,
                                   CRect rect, const wchar_t* title, int a, int b);

// Every class name the table knows, in its order: for code that goes over all classes.
std::vector<const wchar_t*> ControlClassNames(ControlTable table);

} // namespace KOVA
