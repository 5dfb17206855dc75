#pragma once
// The native edit a DPI tile's value is typed into: a superclass of "Edit" laid over the
// tile's value area, numbers only, five characters. It tells the tile's parent when its text
// differs from the tile's value (code 26) and when it loses the focus (code 29), and deletes
// itself when its window is destroyed, clearing the tile's hold on it.
//
// GUI thread only.
#include "platform/Win32.h"

#include "framework/MWindow.h"
#include "platform/KovaExport.h"

namespace KOVA {

class DPIControl;

class KOVA_API CDPIEditWnd : public MWindow {
public:
    CDPIEditWnd() = default;
    // A copy has no window, no owner and no brush.
    CDPIEditWnd(const CDPIEditWnd& other);
    CDPIEditWnd& operator=(const CDPIEditWnd& other);
    ~CDPIEditWnd() override;

    const wchar_t* GetWindowClassName() const override;
    const wchar_t* GetSuperClassName() const override;
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Deletes this object.
    void OnDestroyMessage(HWND hwnd) override;

    // Creates the window over owner's value area in owner's window, focused, text selected.
    void Init(DPIControl* owner);

private:
    void onTextChange();

    DPIControl* m_owner { nullptr };
    HBRUSH m_brush { nullptr };
    int m_initialised { 0 };
    int m_caret { 0 };
};

} // namespace KOVA
