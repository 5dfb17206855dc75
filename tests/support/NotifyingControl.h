#pragma once
// A control that reports presses like a button (code 1 on press, 2 on release) and poisons
// its memory when deleted, so that any later use of it crashes the test instead of passing.
#include <functional>
#include <vector>

#include "RecordingControl.h"

namespace KOVA::test {

class NotifyingControl : public RecordingControl {
public:
    NotifyingControl(MObject* parent, UINT id, CRect rect, EventLog& log, int* deaths = nullptr);
    ~NotifyingControl() override;

    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    LRESULT OnWindowMessage(UINT msg, WPARAM, LPARAM) override
    {
        windowMessages.push_back(msg);
        return 0;
    }

    // Freed storage is overwritten and never reused while the program runs.
    static void operator delete(void* memory, std::size_t size);

    std::vector<UINT> windowMessages;

private:
    int* m_deaths;
};

// Creates one on the heap, hands it to the paint manager as a control of parent.
NotifyingControl* addNotifyingControl(PaintManager& manager, MObject* parent, UINT id, CRect rect, EventLog& log,
                                      int* deaths = nullptr);

} // namespace KOVA::test
