/* Runs a program on a Wine desktop of its own and returns its exit code.
     desktop-run.exe NAME PROGRAM [ARGS...]
   The foreground window, the activation and the pointer belong to a desktop: a test program
   alone on its desktop (and on its own X display, which tools/wine-emu.sh gives it) cannot
   lose them to another test program's windows. The program dies with this process (a job),
   so a test run's time-out leaves nothing behind. A PROGRAM given as a Unix path is taken on
   drive Z:, where Wine maps the Unix root. */
#include <windows.h>
#include <wchar.h>
#include <stdlib.h>

/* Appends arg to line, quoted (by the rules CommandLineToArgvW reads back) only where it needs
   it: a program that reads its raw command line gets the words as they were given. */
static void append_argument(wchar_t *line, const wchar_t *arg)
{
    size_t n = wcslen(line);
    if (n) line[n++] = L' ';
    if (*arg && !wcspbrk(arg, L" \t\"")) {
        wcscpy(line + n, arg);
        return;
    }
    line[n++] = L'"';
    for (const wchar_t *p = arg;; ++p) {
        size_t slashes = 0;
        while (*p == L'\\') { ++slashes; ++p; }
        if (!*p) { while (slashes--) { line[n++] = L'\\'; line[n++] = L'\\'; } break; }
        if (*p == L'"') { slashes = slashes * 2 + 1; }
        while (slashes--) line[n++] = L'\\';
        line[n++] = *p;
    }
    line[n++] = L'"';
    line[n] = 0;
}

static wchar_t *dos_path(const wchar_t *path)
{
    size_t n = wcslen(path);
    wchar_t *out = calloc(n + 3, sizeof *out);
    if (path[0] == L'/') wcscpy(out, L"Z:");
    wcscat(out, path);
    for (wchar_t *p = out; *p; ++p) if (*p == L'/') *p = L'\\';
    return out;
}

int wmain(int argc, wchar_t **argv)
{
    if (argc < 3) return 125;
    size_t size = 8;
    for (int i = 2; i < argc; ++i) size += wcslen(argv[i]) * 2 + 6;
    wchar_t *line = calloc(size, sizeof *line);
    wchar_t *program = dos_path(argv[2]);
    append_argument(line, program);
    for (int i = 3; i < argc; ++i) append_argument(line, argv[i]);

    HDESK desktop = CreateDesktopW(argv[1], NULL, NULL, 0, GENERIC_ALL, NULL);
    if (!desktop) return 126;
    HANDLE job = CreateJobObjectW(NULL, NULL);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = { 0 };
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job) SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);

    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.lpDesktop = argv[1];
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process;
    if (!CreateProcessW(program, line, NULL, NULL, TRUE, CREATE_SUSPENDED, NULL, NULL, &startup, &process))
        return 127;
    if (job) AssignProcessToJobObject(job, process.hProcess);
    ResumeThread(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    return (int)code;
}
