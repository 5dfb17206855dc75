#include "ChildProgram.h"

#include <iterator>

namespace KOVA::test {

namespace {

// The arguments travel in the environment the child inherits, one string with a separator no
// path holds.
constexpr const wchar_t* kArguments = L"KOVA_CHILD_ARGUMENTS";
constexpr wchar_t kSeparator = L'|';
// Long enough for a killed Wine process to go.
constexpr DWORD kEndingMs = 10000;

CString thisProgram()
{
    CString path;
    ::GetModuleFileNameW(nullptr, path.GetBufferSetLength(MAX_PATH), MAX_PATH);
    path.ReleaseBuffer();
    return path;
}

} // namespace

ChildProgram::ChildProgram(const wchar_t* test, const std::vector<CString>& arguments)
{
    CString joined;
    for (const CString& argument : arguments) {
        if (!joined.IsEmpty())
            joined += kSeparator;
        joined += argument;
    }
    const CString program = thisProgram();
    CString command;
    command.Format(L"\"%s\" --gtest_filter=%s", program.GetString(), test);
    ::SetEnvironmentVariableW(kArguments, joined);
    STARTUPINFOW startup {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process {};
    if (::CreateProcessW(program, command.GetBuffer(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ::CloseHandle(process.hThread);
        m_process = process.hProcess;
    }
    command.ReleaseBuffer();
    ::SetEnvironmentVariableW(kArguments, nullptr);
}

ChildProgram::~ChildProgram()
{
    if (!m_process)
        return;
    if (::WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(m_process, 1);
        ::WaitForSingleObject(m_process, kEndingMs);
    }
    ::CloseHandle(m_process);
}

long ChildProgram::finish(DWORD timeoutMs)
{
    DWORD code = 0;
    if (!m_process || ::WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0 || !::GetExitCodeProcess(m_process, &code))
        return -1;
    return static_cast<long>(code);
}

std::vector<CString> ChildArguments()
{
    wchar_t joined[4096] {};
    const DWORD length = ::GetEnvironmentVariableW(kArguments, joined, static_cast<DWORD>(std::size(joined)));
    std::vector<CString> arguments;
    if (length == 0 || length >= std::size(joined))
        return arguments;
    const CString all(joined);
    for (int start = 0;;) {
        const int end = all.Find(kSeparator, start);
        arguments.push_back(all.Mid(start, end < 0 ? all.GetLength() - start : end - start));
        if (end < 0)
            return arguments;
        start = end + 1;
    }
}

} // namespace KOVA::test
