#pragma once
// What the tests of the value controls (sliders, spin box, progress, labels) share: the
// notifications a parent heard as one line, and a real dialog that hears its controls.
#include <string>
#include <vector>

#include "KOVA.h"
#include "RecordingControl.h"

namespace KOVA::test {

// "id:code:wParam:lParam" per notification, separated by blanks.
inline std::string noteLine(const std::vector<Notification>& notes)
{
    std::string line;
    for (const Notification& note : notes)
        line += (line.empty() ? "" : " ") + std::to_string(note.id) + ":" + std::to_string(note.code) + ":"
                + std::to_string(note.wParam) + ":" + std::to_string(note.lParam);
    return line;
}

// A host dialog, shown without activation, that writes down what its controls report.
class NotedDialog : public MDialog {
public:
    explicit NotedDialog(CRect place = CRect(300, 300, 700, 500))
    {
        Create(nullptr, L"values", WS_POPUP, 0, place);
        EnableWndDrag(0);
        ShowWindow(SW_SHOWNOACTIVATE);
    }
    ~NotedDialog() override { DestroyWindow(); }
    LRESULT OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        notes.push_back({ id, code, wParam, lParam });
        return 0;
    }
    template <class T>
    T* create(const wchar_t* className, UINT id, CRect rect, const wchar_t* title = L"")
    {
        return dynamic_cast<T*>(CreateControl(className, id, rect, title, 1, 1));
    }
    void post(UINT msg, CPoint pt, WPARAM keys = 0) { PostMessageW(msg, keys, MAKELPARAM(pt.x, pt.y)); }

    std::vector<Notification> notes;
};

} // namespace KOVA::test
