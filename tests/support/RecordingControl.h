#pragma once
// Controls and parents that write down every call they receive, for routing tests.
#include <string>
#include <vector>

#include "KOVA.h"

namespace KOVA::test {

struct Event {
    std::string what;
    UINT id { 0 };
    CPoint pt;
    bool operator==(const Event& other) const { return what == other.what && id == other.id; }
};

class EventLog {
public:
    void add(std::string what, UINT id, CPoint pt = CPoint()) { m_events.push_back({ std::move(what), id, pt }); }
    const std::vector<Event>& events() const { return m_events; }
    void clear() { m_events.clear(); }
    // "down:3 up:3" — compact form for assertions.
    std::string summary() const;
    int count(const std::string& what, UINT id) const;

private:
    std::vector<Event> m_events;
};

struct Notification {
    UINT id;
    UINT code;
    UINT wParam;
    LONG lParam;
};

// "id:code:wParam:lParam" per notification, separated by blanks.
std::string noteLine(const std::vector<Notification>& notes);

// A control that records its handlers and answers them with a configurable result.
class RecordingControl : public MControl {
public:
    RecordingControl(MObject* parent, UINT id, CRect rect, EventLog& log, int response = 1);

    const wchar_t* GetClassNameW() const override { return L"RecordingControl"; }
    void DrawControl(HDC& dc, CRect paintRect) override;
    int OnControlMouseMove(UINT, CPoint pt) override { return record("move", pt); }
    int OnControlLButtonDown(UINT, CPoint pt) override { return record("down", pt); }
    int OnControlLButtonUp(UINT, CPoint pt) override { return record("up", pt); }
    int OnControlLButtonDblClk(UINT, CPoint pt) override { return record("dblclk", pt); }
    int OnControlRButtonDown(UINT, CPoint pt) override { return record("rdown", pt); }
    int OnControlRButtonUp(UINT, CPoint pt) override { return record("rup", pt); }
    int OnControlScroll(int, UINT, CPoint pt) override { return record("wheel", pt); }
    int OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override;
    int OnControlTimer() override
    {
        m_log.add("tick", m_uControlID);
        return 0;
    }
    int SetControlFocus(int focus) override;
    int OnMousePointChange(CPoint& pt) override;
    LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    LONG OnControlUpdate(CRect rect, int flag, MControl* control) override;

    // Adds a child that reports to this control.
    RecordingControl* addChild(UINT id, CRect rect, int response = 1);

    // Knobs for the cases
    int answer { 1 };          // result of the OnControl* handlers
    int keyAnswer { 0 };
    CPoint scrollOffset;       // content offset a container applies to its children's points
    void setDblClk(int value) { m_dblClk = value; }
    void setDblClkNotify(int value) { m_dblClkNotify = value; }
    void setKeyNotify(int value) { m_keyNotify = value; }
    void setFocused(int value) { m_focused = value; }
    void setLeaveTracking(int value) { m_leaveTracking = value; }
    int isOutside() const { return m_outside; }
    int isPressed() const { return m_pressed; }
    int callPositionItem(const FS_POSITION_ITEM& item, int start, int end) { return PositionItem2Value(item, start, end); }

    std::vector<Notification> notifications;
    std::vector<std::pair<CRect, int>> updates;
    int drawCount { 0 };

private:
    int record(const char* what, CPoint pt)
    {
        m_log.add(what, m_uControlID, pt);
        return answer;
    }
    EventLog& m_log;
};

// The top of a tree: records notifications and repaint requests.
class RecordingParent : public MObject {
public:
    const wchar_t* GetClassNameW() const override { return m_className; }
    LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        notifications.push_back({ id, code, wParam, lParam });
        return 0;
    }
    LONG OnControlUpdate(CRect rect, int flag, MControl* control) override
    {
        updates.push_back({ rect, flag, control });
        return 0;
    }

    std::vector<Notification> notifications;
    struct Update {
        CRect rect;
        int flag;
        MControl* control;
    };
    std::vector<Update> updates;
    const wchar_t* m_className { L"RecordingParent" };
};

} // namespace KOVA::test
