#pragma once
// This test program started again as a child process that runs one of its tests alone, for what
// takes a second process: two processes sharing one data folder, a process killed part way. The
// test the child runs reads its arguments with ChildArguments and skips itself in a plain run.
#include <vector>

#include "platform/Win32.h"
#include "platform/CString.h"

namespace KOVA::test {

class ChildProgram {
public:
    // Runs test ("Suite.Name") of this program with arguments, on this program's console.
    ChildProgram(const wchar_t* test, const std::vector<CString>& arguments);
    // A child still running (its parent's test failed) is killed.
    ~ChildProgram();
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    bool started() const { return m_process != nullptr; }
    // The child's exit code (0: its test passed) when it ends within timeoutMs; -1 otherwise.
    long finish(DWORD timeoutMs);

private:
    HANDLE m_process { nullptr };
};

// The arguments this program was started with as a child; empty in a plain run.
std::vector<CString> ChildArguments();

} // namespace KOVA::test
