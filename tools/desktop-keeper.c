/* A resident GUI process that keeps Wine's desktop process alive for a whole test run.
   Without it every GUI test starts explorer.exe, which inherits the test's output pipe and
   keeps CTest waiting about a second after each test ends. */
#include <windows.h>

int main(void)
{
    CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
    CloseHandle(CreateFileW(L"C:\\desktop-keeper.ready", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
