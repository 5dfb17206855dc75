#pragma once
// A framed button with a caption that stays down as the selected member of a named group and
// shows a three-line key-tip bubble while the pointer is over it.
#include "platform/Win32.h"

#include <memory>

#include "controls/basic/ButtonBase.h"
#include "framework/CKeyboardTips.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class KOVA_API CIconButton : public ButtonBase {
public:
    CIconButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);
    // Made in the library, where the tip bubble's deleter lives: a host holding a button by
    // value links.
    ~CIconButton() override;

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    // Moves replace even the pressed look, and show or hide the tip bubble.
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    // A completed click keeps the button down and lifts the rest of its group.
    int OnControlLButtonUp(UINT keys, CPoint pt) override;

    // Stored only.
    int SetIconImage(const wchar_t* file, int frames) { return m_icon.Load(file, frames); }
    void SetFrameSize(int size) { m_frameSize = size; }
    void SetTextRect(CRect rect) { m_textRect = rect; }

    // A non-zero check shows the checked look whatever else happens; lifts the button.
    int SetCheck(int check);
    int SetDownState(int);
    void SetControlCheck(int down);
    // Lifts the other visible, enabled buttons of the group.
    int ResetGroupCheck();
    void SetGroupName(const wchar_t* name) { m_groupName = name ? name : L""; }
    CString GetGroupName() const { return m_groupName; }
    int IsDown() const { return m_down; }

    void SetTips(CString heading, CString second, CString third);
    // Shows or hides the bubble, only while tips are switched on.
    void SetTips(bool show);
    void SetShowTips(bool show) { m_showTips = show; }

private:
    struct TipsDeleter {
        void operator()(CKeyboardTips* tips) const;
    };
    CKeyboardTips* Tips();

    int m_frameSize { 4 };
    ButtonIcon m_icon;
    CRect m_textRect;
    int m_down { 0 };
    CString m_groupName;
    bool m_showTips { false };
    CString m_tipHeading;
    CString m_tipSecond;
    CString m_tipThird;
    NotCopied<std::unique_ptr<CKeyboardTips, TipsDeleter>> m_tips;
};

} // namespace KOVA
