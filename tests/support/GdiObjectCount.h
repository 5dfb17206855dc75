#pragma once
// The number of live GDI objects of this process, for leak checks. GetGuiResources reports 0
// under Wine, so this counts the entries of Wine's per-process GDI handle table instead.
namespace KOVA::test {

// -1 when the table is not there (not running under Wine): skip the check then.
int countGdiObjects();

} // namespace KOVA::test
