#include "GdiObjectCount.h"

#include <windows.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include "PumpUntil.h"
#include "TestWindow.h"

namespace KOVA::test {

namespace {

// Wine 7 and 8 keep 24-byte entries (sized for 64 bits also in a 32-bit process); a live
// entry has a non-zero type byte at offset 14.
constexpr int kEntrySize = 24;
constexpr int kTypeOffset = 14;
constexpr int handleTableSize = 0x10000;
constexpr int pebGdiHandleTableOffset = 0x94;

using QueryProcess = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);

// Null outside Wine: the handle table below is Wine's own.
BYTE* winePeb()
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version"))
        return nullptr;
    const auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION info {};
    if (!query || query(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info, nullptr) != 0)
        return nullptr;
    return reinterpret_cast<BYTE*>(info.PebBaseAddress);
}

} // namespace

int countGdiObjects()
{
    BYTE* peb = winePeb();
    if (!peb)
        return -1;
    const auto* table = *reinterpret_cast<const BYTE**>(peb + pebGdiHandleTableOffset);
    if (!table)
        return -1;
    int count = 0;
    for (int i = 0; i < handleTableSize; ++i)
        count += table[i * kEntrySize + kTypeOffset] != 0;
    return count;
}

int warmGdiObjects(const std::function<void()>& round, int maxRounds)
{
    int before = countGdiObjects();
    for (int i = 0; i < maxRounds; ++i) {
        round();
        pumpMessages();
        const int after = countGdiObjects();
        if (after == before)
            break;
        before = after;
    }
    return before;
}

int gdiObjectsSettled(int expected, unsigned long timeoutMs)
{
    pumpUntil([&] { return countGdiObjects() == expected; }, timeoutMs);
    return countGdiObjects();
}

void expectNoGdiGrowth(const std::function<void()>& round, int rounds)
{
    const int steady = warmGdiObjects(round);
    if (steady < 0)
        GTEST_SKIP() << "GDI objects are only counted under Wine";
    for (int i = 0; i < rounds; ++i)
        round();
    EXPECT_EQ(steady, gdiObjectsSettled(steady));
}

} // namespace KOVA::test
