#include "framework/LibraryModule.h"

namespace KOVA {

namespace {
HMODULE g_libraryModule = nullptr;

// Linked statically (the unit tests), no DllMain runs: the module is whichever holds this code.
HMODULE moduleHoldingThisCode()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&moduleHoldingThisCode), &module);
    return module;
}
} // namespace

HMODULE GetLibraryModule()
{
    if (!g_libraryModule)
        g_libraryModule = moduleHoldingThisCode();
    return g_libraryModule;
}

void SetLibraryModule(HMODULE module)
{
    g_libraryModule = module;
}

} // namespace KOVA

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        KOVA::SetLibraryModule(instance);
    return TRUE;
}
