#pragma once
// A tiny string store under HKEY_CURRENT_USER\SOFTWARE\<brand>, kept for the LCD settings.
#include "platform/CString.h"

namespace KOVA {

CString GetBrandName();

// Reads the string value `name`. When the key does not exist yet it is created, `text`
// becomes "0" and the result is false; a missing value reads as "" with the result true.
bool ReadRegString(CString& text, CString name);

// Writes `text` as the value `name`; silently does nothing while the key does not exist.
void WriteRegString(CString name, CString text);

} // namespace KOVA
