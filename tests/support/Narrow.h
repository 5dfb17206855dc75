#pragma once
// A CString as a std::string, for failure messages and comparisons: the tests' texts and paths
// are ASCII, and anything else shows as '?'.
#include <string>

#include "platform/CString.h"

namespace KOVA::test {

inline std::string narrow(const CString& text)
{
    std::string out;
    for (int i = 0; i < text.GetLength(); ++i)
        out += text[i] < 128 ? static_cast<char>(text[i]) : '?';
    return out;
}

} // namespace KOVA::test
