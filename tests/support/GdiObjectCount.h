#pragma once
// The number of live GDI objects of this process, for leak checks. GetGuiResources reports 0
// under Wine, so this counts the entries of Wine's per-process GDI handle table instead.
#include <functional>

namespace KOVA::test {

// -1 when the table is not there (not running under Wine): skip the check then.
int countGdiObjects();

// Runs round (pumping messages after each) until the count stops changing, at most
// maxRounds times, and returns that steady count (-1 outside Wine). Wine makes some objects
// on first use only (a window's first paint, the cursors of a drag, fonts), and on the first
// run of a new prefix later than usual: a leak check counts from here, not from one round.
int warmGdiObjects(const std::function<void()>& round, int maxRounds = 8);
// Pumps messages until the count is back at expected or the deadline passes; the count then.
// Objects released by a message still queued (a window's last paint) are not a leak.
int gdiObjectsSettled(int expected, unsigned long timeoutMs = 2000);
// A leak check: warms round, runs it rounds times more and expects the count of the warm
// state back (settled); skips the test outside Wine.
void expectNoGdiGrowth(const std::function<void()>& round, int rounds);

} // namespace KOVA::test
