#pragma once
// The home page's gallery of saved profiles: cards of three centred lines (a bold title and
// two lines in the body font) over the card background; a press and a release on a card
// select it and report its index.
#include "platform/Win32.h"

#include "controls/basic/LookPainting.h"
#include "devices/cooling/CardGrid.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

struct KOVA_API ArchiveItemInfo : ListItem {
    // text is the title.
    CString second;
    CString third;
    int profile { 0 };
};

class KOVA_API ArchivedCtrl : public CardGrid {
public:
    ArchivedCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the value fields: no cards, a lock of its own.
    ArchivedCtrl(const ArchivedCtrl& other);
    ArchivedCtrl& operator=(const ArchivedCtrl& other);
    ~ArchivedCtrl() override;

    const wchar_t* GetClassNameW() const override;

    // The profile stands between the second and the third line. No repaint.
    void AddItem(CString title, CString second, int profile, CString third);
    // 0 without a selection.
    int GetCurProfile();
    // Selects the first card of that profile, none matching keeps the selection; repaints.
    void SetCurProfile(int profile);

    static constexpr int kCardWidth = 300;
    static constexpr int kCardHeight = 218;

protected:
    // Selects and reports (2, index, 0) without a repaint: the card is lit already.
    void ReleaseItem(int index, CPoint pt) override;
    void PrepareCards() override;
    void DrawCard(Gdiplus::Graphics& graphics, ListItem& item, const CRect& cell, bool lit) override;

private:
    NotCopied<KeptFont> m_titleFont;
    NotCopied<const Gdiplus::Font*> m_title;
    NotCopied<const Gdiplus::Font*> m_body;
    NotCopied<KeptFormat> m_format;
};

} // namespace KOVA
