#pragma once
// The cooling program's scrolling home page: a devices section (heading and device tiles), an
// online-service section (heading and three link buttons) and a saved-settings section
// (heading, profile archive, restore and reset buttons) on 2100 pixels of content. It builds
// its children once, lays them out for each new rectangle, scrolls them with its bar and the
// wheel, retitles them from a language file and passes what they report to the host as
// (page id, child id, child code, child wParam).
//
// GUI thread only. The child-control lock is taken only to walk or change the child list and
// let go before any repaint request or notification.
#include "platform/Win32.h"

#include <vector>

#include "devices/cooling/ArchivedCtrl.h"
#include "devices/cooling/CDeviceCtrl.h"
#include "framework/MPanel.h"
#include "framework/MRenderLayer.h"
#include "framework/MemoryPicture.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class MButton;
class MButton2;
class MPicture;
class MText;

class KOVA_API CHomeFuncCtrl : public MPanel {
public:
    // The last flag is not read.
    CHomeFuncCtrl(MObject* parent, UINT id, CRect rect, int visible, int unused);
    // A copy takes the value fields: no children of its own until it is initialised.
    CHomeFuncCtrl(const CHomeFuncCtrl& other);
    CHomeFuncCtrl& operator=(const CHomeFuncCtrl& other);
    ~CHomeFuncCtrl() override;

    const wchar_t* GetClassNameW() const override;
    // What lies under the page changed: the children's kept looks lie over nothing and stay
    // right, so they are not marked (where the platform cannot keep such looks, they are).
    void SetUpdate(int update, DWORD param) override;

    // Forwarded to the tiles and the archive; before the children exist they do nothing and
    // the getters answer -1 (item) and 0 (profile).
    void GetCurDeviceInfo(int& first, int& second);
    void SetDeviceState(int index, CString name, bool state, CString imageFile);
    void ClearArchived();
    void AddArchived(CString title, CString second, int profile, CString third);
    int GetArchivedCurItem();
    int GetArchivedCurProfile();
    void SetArchivedCurProfile(int profile);

    // Scrolls the content up by top pixels (a page with no room to scroll stays at the top).
    void SetVirtualTop(int top);
    // The wheel anywhere over the page scrolls the page, not the child under it.
    int OnScroll(int step, UINT down, CPoint pt) override;

    // Titles of the nine headings and buttons from "language\<language>.lan" beside the
    // program; a missing file or key empties them.
    void ResetLanguage(int language);
    CString GetLan(int key, int language);

    static constexpr int kContentHeight = 2100;
    static constexpr int kBarRange = 2700;

protected:
    void InitControl(PaintManager* manager) override;
    void InitUI(CRect rect) override;
    void UISize(CRect rect);
    void SetControlRect(CRect rect) override;
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    int OnControlScroll(int step, UINT down, CPoint pt) override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    int DrawSubControls(HDC& dc, CRect paintRect) override;
    // The children take the pointer through the framework's routing; the page itself keeps it.
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;

private:
    // A child as its look was last laid on the kept content.
    struct LaidChild {
        MControl* control;
        CRect rect;
    };
    int contentOffset() const;
    MControl* child(UINT id);
    // The children drawn over the kept looks of the whole content, laid over the page's ground.
    void drawOverLooks(HDC& dc, int offset);
    // Lays again, within the rectangle where any child moved, left, appeared or must be drawn
    // anew, the look of every child there; the others' looks stay as they are.
    void refreshLooks();
    // The children drawn over a copy of the ground moved with the content (where GDI+ cannot
    // keep looks over nothing): over a ground of one colour their kept pictures stay right.
    void drawOverGround(HDC& dc, CRect paintRect, int offset);

    NotCopied<MPicture*> m_devicesArrow;
    NotCopied<MText*> m_devicesHeading;
    NotCopied<CDeviceCtrl*> m_devices;
    NotCopied<MPicture*> m_serviceArrow;
    NotCopied<MText*> m_serviceHeading;
    NotCopied<MButton2*> m_productButton;
    NotCopied<MButton2*> m_webButton;
    NotCopied<MButton2*> m_feedbackButton;
    NotCopied<MPicture*> m_archiveArrow;
    NotCopied<MText*> m_archiveHeading;
    NotCopied<ArchivedCtrl*> m_archive;
    NotCopied<MButton*> m_restoreButton;
    NotCopied<MButton*> m_resetButton;
    NotCopied<MPicture*> m_interestArrow;
    NotCopied<MText*> m_interestHeading;
    // The looks of all the children over nothing, in content coordinates and list order, and
    // one child's look at a time while they are laid: a wheel notch only lays the band in view
    // over the ground, whatever lies under the page.
    NotCopied<LookLayer> m_looks;
    NotCopied<LookLayer> m_childLook;
    NotCopied<std::vector<LaidChild>> m_laid;
    // Where looks cannot be kept: the whole content as last drawn, kept between paints.
    MemoryPicture m_content;
    // The colour (0x00BBGGRR) of a backdrop of one colour, -1 for any other. Over such a
    // backdrop the children's kept pictures stay right wherever the content scrolls, and a
    // wheel notch only copies them.
    int m_plainBackdrop { -1 };
    // The backdrop changed since the children last took it.
    bool m_backdropChanged { true };
};

} // namespace KOVA
