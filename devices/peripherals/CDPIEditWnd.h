#pragma once
// The native edit a DPI tile's value is typed into, laid over the tile's value area: numbers
// only, five characters, centred. It tells the tile's parent when its text differs from the
// tile's value (code 26) and when it loses the focus (code 29); when its window is destroyed
// it clears the tile's hold on it and deletes itself (the shared native edit hand-off).
//
// GUI thread only.
#include "platform/Win32.h"

#include "controls/input/NativeEditWindow.h"
#include "platform/KovaExport.h"

namespace KOVA {

class DPIControl;

class KOVA_API CDPIEditWnd : public NativeEditWindow {
public:
    CDPIEditWnd();

    const wchar_t* GetWindowClassName() const override { return L"DPIEditWindow"; }

    // Creates the window over owner's value area in owner's window, focused, text selected.
    void Init(DPIControl* owner);

private:
    void OnEditChanged() override;
    void OnEditKillFocus() override;
    void ForgetOwner() override;

    DPIControl* m_tile { nullptr };
};

} // namespace KOVA
