#pragma once
// Every clickable class of the family by name, built the same way for the table-driven tests,
// and a parent that does what a window does with a repaint request of flag 1 (the requester
// draws its looks again at the next paint).
#include <new>
#include <string>
#include <type_traits>
#include <vector>

#include "KOVA.h"
#include "RecordingControl.h"

namespace KOVA::test {

// A row that a derived class made checkable, as the library itself never does.
class CheckableMenuItem : public MenuItem {
public:
    CheckableMenuItem(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
        : MenuItem(parent, id, rect, title, visible, enabled)
    {
        SetCheckable(1);
        SetGroupName(L"");
    }
};

// Builds T at a given address (placement) or on the heap; classes without a title get none.
template <class T>
ButtonBase* buildButton(void* at, MObject* parent, UINT id, CRect rect, const wchar_t* title)
{
    if constexpr (std::is_constructible_v<T, MObject*, UINT, CRect, const wchar_t*, int, int>)
        return at ? new (at) T(parent, id, rect, title, 1, 1) : new T(parent, id, rect, title, 1, 1);
    else
        return at ? new (at) T(parent, id, rect, 1, 1) : new T(parent, id, rect, 1, 1);
}

struct ButtonKind {
    std::string name;
    ButtonBase* (*build)(void* at, MObject* parent, UINT id, CRect rect, const wchar_t* title);
    size_t size;
};

#define KOVA_BUTTON_KIND(T) ButtonKind { #T, &buildButton<T>, sizeof(T) }

inline const std::vector<ButtonKind>& allButtonKinds()
{
    static const std::vector<ButtonKind> kinds {
        KOVA_BUTTON_KIND(MButton), KOVA_BUTTON_KIND(CImageButton), KOVA_BUTTON_KIND(CImageButton2),
        KOVA_BUTTON_KIND(MButton2), KOVA_BUTTON_KIND(MButton3), KOVA_BUTTON_KIND(CTextButton),
        KOVA_BUTTON_KIND(UpgradeButton), KOVA_BUTTON_KIND(DownloadButton), KOVA_BUTTON_KIND(CTimerButton),
        KOVA_BUTTON_KIND(CCheckButton), KOVA_BUTTON_KIND(CRadioButton), KOVA_BUTTON_KIND(CRadioButton2),
        KOVA_BUTTON_KIND(CColorButton), KOVA_BUTTON_KIND(CColorButton2), KOVA_BUTTON_KIND(CColorButton3),
        KOVA_BUTTON_KIND(CSwitchButton), KOVA_BUTTON_KIND(CIconButton), KOVA_BUTTON_KIND(MenuItem),
        KOVA_BUTTON_KIND(CheckableMenuItem), KOVA_BUTTON_KIND(CHelpButton),
    };
    return kinds;
}

inline const ButtonKind& buttonKind(const std::string& name)
{
    for (const ButtonKind& kind : allButtonKinds())
        if (kind.name == name)
            return kind;
    throw std::string("no kind ") + name;
}

// Records like RecordingParent and, as a window does, makes a flag-1 requester render again.
class RenderingParent : public RecordingParent {
public:
    LONG OnControlUpdate(CRect rect, int flag, MControl* control) override
    {
        if (flag && control)
            control->SetUpdate(0, 0);
        return RecordingParent::OnControlUpdate(rect, flag, control);
    }
};

// Declared after a scratch image: the window's cache lets go of the file before it is deleted.
struct ReleasedImages {
    PaintManager& manager;
    ~ReleasedImages() { manager.ClearImgResInfo(); }
};

} // namespace KOVA::test
