#pragma once
// Runs this thread's message loop until a condition holds, never longer than a deadline.
#include <functional>

#include "platform/Win32.h"

namespace KOVA::test {

// true when the condition held before the deadline.
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);
// The same for a condition no message signals (another thread's work): polled every millisecond.
bool pollUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);

} // namespace KOVA::test
