#pragma once
// Runs this thread's message loop until a condition holds, never longer than a deadline.
#include <functional>

#include "platform/Win32.h"

namespace KOVA::test {

// true when the condition held before the deadline. The condition is checked after every
// message and at least every kPumpUntilPollMs.
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);
constexpr DWORD kPumpUntilPollMs = 2;
// The same for a condition no message signals (another thread's work): polled every millisecond.
bool pollUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);

} // namespace KOVA::test
