#pragma once
// The home page's device tiles: a device picture (two frames, lit when hovered or selected)
// and a caption on each tile. A tile whose device is not available shows the add icon and
// never takes the pointer; an available one toggles its check flag when released on its
// check area, near its lower right corner, where the hand shows.
#include "platform/Win32.h"

#include <memory>

#include "controls/basic/LookPainting.h"
#include "devices/cooling/CardGrid.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

struct KOVA_API DeviceItemInfo : ListItem {
    int first { 0 };
    int second { 0 };
    // Available: the tile reacts to the pointer.
    bool state { false };
    int check { 0 };
};

class KOVA_API CDeviceCtrl : public CardGrid {
public:
    CDeviceCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the value fields: no tiles, no images, a lock of its own.
    CDeviceCtrl(const CDeviceCtrl& other);
    CDeviceCtrl& operator=(const CDeviceCtrl& other);
    ~CDeviceCtrl() override;

    const wchar_t* GetClassNameW() const override;

    // Skin-relative files; 0 when they do not load (nothing changes then).
    int SetCheckImage(const wchar_t* file);
    int SetAddIconImage(const wchar_t* file);
    // The picture is loaded only when its skin file exists. No repaint.
    void AddDevice(CString name, int first, int second, bool state, CString imageFile);
    // Nothing for an index outside the list. A picture that exists replaces the old one.
    void SetDeviceState(int index, CString name, bool state, CString imageFile);
    // Checks the first tile with that first value.
    void SetDeviceState(int first, int unused);
    // The selected tile's values; both left as they are without a selection.
    void GetCurDeviceInfo(int& first, int& second);
    int GetCheckItemCount();

    static constexpr int kTileWidth = 300;
    static constexpr int kTileHeight = 217;
    static constexpr LONG kUnavailableCheck = 10;

protected:
    bool TakesPointer(const ListItem& item) const override;
    bool HandOver(const ListItem& item, const CRect& place, CPoint pt) const override;
    void ReleaseItem(int index, CPoint pt) override;
    void PrepareCards() override;
    void DrawCard(Gdiplus::Graphics& graphics, ListItem& item, const CRect& cell, bool lit) override;

private:
    bool inCheckArea(const CRect& place, CPoint pt) const;
    void drawCentred(Gdiplus::Graphics& graphics, Gdiplus::Image* image, int srcX, int width, int height,
                     const CRect& cell) const;

    NotCopied<std::unique_ptr<Gdiplus::Image>> m_checkImage;
    int m_checkWidth { 0 };
    int m_checkHeight { 0 };
    NotCopied<std::unique_ptr<Gdiplus::Image>> m_addIcon;
    int m_addIconWidth { 0 };
    int m_addIconHeight { 0 };
    // Relative to a tile's top-left corner.
    CRect m_checkArea;
    NotCopied<const Gdiplus::Font*> m_captionFont;
    NotCopied<KeptFormat> m_captionFormat;
};

} // namespace KOVA
