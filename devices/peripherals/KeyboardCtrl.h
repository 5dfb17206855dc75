#pragma once
// The keyboard of the peripheral pages: a picture with one rectangle per key over it, shown in
// one of five modes (100 flat labelled keys, 101 checked and pointed keys outlined, 102 the host's
// light animation, 103 each key in its own colour, 104 every key at one brightness), with key
// tips, clicks reported to the host and a rubber band that checks keys.
//
// Threads: input, setters and painting on the GUI thread; OnControlTimer on the fast-timer
// thread. The key lock (the item list's lock) guards the keys, the light data and the frame.
#include "platform/Win32.h"

#include <memory>
#include <vector>

#include "devices/peripherals/KeyOutlineLayer.h"
#include "framework/ItemList.h"
#include "framework/MRenderLayer.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

class CKeyboardTips;

// One key, as the host reads it through KeyboardCtrl::GetKeyItems.
struct KOVA_API KEY_INFO {
    KEY_INFO() = default;
    // Releases the icon.
    ~KEY_INFO();
    KEY_INFO(const KEY_INFO&) = delete;
    KEY_INFO& operator=(const KEY_INFO&) = delete;

    int index { 0 };
    unsigned long keyId { 0 };
    CString name;
    CString secondName;
    CString description;
    CString tip;
    CRect rect;                          // in picture coordinates
    int check { 0 };
    COLORREF color { 0x0000E1FF };
    Gdiplus::Image* icon { nullptr };    // owned; null for none
    int iconWidth { 0 };
    int iconHeight { 0 };
};

class KOVA_API KeyboardCtrl : public ItemList {
public:
    enum Mode { ModeNone = 100, ModeCustom = 101, ModeLight = 102, ModeUserLight = 103, ModeMusic = 104 };

    KeyboardCtrl(MObject* parent, UINT id, CRect rect, int visible);
    // A copy takes the value fields; no keys, picture, tips or place on the fast timer.
    KeyboardCtrl(const KeyboardCtrl& other);
    KeyboardCtrl& operator=(const KeyboardCtrl& other);
    // Leaves the fast timer before anything else goes.
    ~KeyboardCtrl() override;

    const wchar_t* GetClassNameW() const override;
    // Joins the fast timer of the paint manager it is attached to, once, on every attach.
    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect paintRect) override;
    void SetControlRect(CRect rect) override;
    int OnControlTimer() override;
    int OnControlMouseMove(UINT keys, CPoint pt) override;
    int OnControlLButtonDown(UINT keys, CPoint pt) override;
    int OnControlLButtonUp(UINT keys, CPoint pt) override;
    int OnControlRButtonDown(UINT keys, CPoint pt) override;
    int OnControlRButtonUp(UINT keys, CPoint pt) override;

    // Picture and placement
    void SetKeyboardImage(CString file);
    void SetWidthAndHeight(int width, int height);
    void SetKeyboardCtrlMode(int mode);

    // Keys
    int AddKeyItem(const wchar_t* name, const wchar_t* secondName, unsigned long keyId, CRect rect, CString iconFile);
    void ClearItem();
    std::vector<KEY_INFO*> GetKeyItems();
    void SetSelectItem(int index) { m_selected = index; }
    int GetCheckItemCount();
    void SetAllSelectColor(unsigned long colour);
    void ResetAllItemsColor(unsigned long colour);
    void ResetAllItemCheck();
    void ResetAllItemCheck(int check);
    void SetKeyCheck(unsigned long keyId, int check);
    void SetKeyColor(unsigned long keyId, unsigned long colour);
    unsigned long GetKeyColor(unsigned long keyId);
    void SetKeyDesc(unsigned long keyId, CString text);
    void SetTipKey(unsigned long keyId, CString description, CString tip);
    void ResetTipKey();
    int GetCurrentKeyValue() const { return m_currentKeyValue; }

    // Lighting
    void SetLightModeData(unsigned char* data, int length);
    void SetLightSpeed(int speed);
    void SetLightModeColor(int white, unsigned long colour);
    void SetMusicBrightness(int brightness);

    // Band and tips
    void EnableFrameSelect(int enable) { m_frameSelect = enable; }
    void EnableKBTips(bool enable) { m_tipsEnabled = enable; }
    void SetTips(KEY_INFO* key, CRect rect, bool show);

protected:
    CRect GetRealRect(CRect rect) const;
    void DrawNoneMode(Gdiplus::Graphics& graphics, int& width, int& height);
    void DrawCustomMode(Gdiplus::Graphics& graphics, int& width, int& height);
    void DrawLightMode(Gdiplus::Graphics& graphics, int width, int height);
    void DrawUserLightMode(Gdiplus::Graphics& graphics, int width, int height);
    void DrawMusicMode(Gdiplus::Graphics& graphics, int width, int height);
    void DrawTextAndIcon(Gdiplus::Graphics& graphics, const Gdiplus::Font& font, KEY_INFO* key, const CRect& rect);
    void CalFrameSelect();

    // Keys sit at the picture's offset inside the control.
    CPoint ItemOrigin() const override;
    // A key is hit where it is drawn: at its KEY_INFO::rect, which the host may move.
    CRect ItemCell(const ListItem& item) const override;

private:
    // What mode 100's keys were drawn from: their places, labels and icons, the label font and
    // the view's size.
    struct FlatKey {
        CRect place;
        CString name;
        const Gdiplus::Image* icon;
        bool operator==(const FlatKey& other) const;
    };
    struct FlatLookSource {
        std::vector<FlatKey> keys;
        CString face;
        int size { 0 };
        int style { 0 };
        bool font { false };
        bool operator==(const FlatLookSource& other) const;
    };
    FlatLookSource flatLookSource() const;
    void drawFlatKeys(Gdiplus::Graphics& graphics);
    // The label's format and brushes, made once per view.
    void makeLabelTools();
    KEY_INFO* keyAt(int index) const;
    template <class Change>
    void forEachKey(Change change);
    template <class Change>
    void changeKeyById(unsigned long keyId, Change change);
    void placePicture();
    void repaintIfShown();
    // While mode 102 animates, the frame steps repaint: hover and press changes wait for them.
    bool animating() const;
    void drawMode(Gdiplus::Graphics& graphics);
    bool drawPicture(Gdiplus::Graphics& graphics);
    // Outlines every key in the colour colourOf gives it (alpha 0: not outlined).
    void outlineKeys(Gdiplus::Graphics& graphics, Gdiplus::ARGB (KeyboardCtrl::*colourOf)(const KEY_INFO&, int) const);
    Gdiplus::ARGB customColour(const KEY_INFO& key, int index) const;
    Gdiplus::ARGB userColour(const KEY_INFO& key, int index) const;
    Gdiplus::ARGB musicColour(const KEY_INFO& key, int index) const;
    BYTE lightAlpha(int index) const;
    // The light frame: the kept picture, then each key's outline at its alpha.
    void composeLightFrame();
    void drawBand(HDC dc) const;
    void dragBand(CPoint pt);
    void clearBand();
    void followPastTheEdge();
    void hideTips() { SetTips(nullptr, CRect(), false); }
    // The tip bubble of the window the view is in now, made when first needed; null without one.
    CKeyboardTips* tipWindow();

    int m_currentKeyValue { 0 };
    bool m_tipsEnabled { false };
    NotCopied<std::unique_ptr<Gdiplus::Image>> m_picture;
    int m_mode { ModeNone };
    int m_pictureX { 6 };
    int m_pictureY { 6 };
    int m_pictureWidth { 0 };
    int m_pictureHeight { 0 };
    double m_scale { 1.0 };
    std::vector<unsigned char> m_lightData;
    int m_frame { 0 };
    int m_frameCount { 0 };
    int m_musicBrightness { 255 };
    int m_tick { 0 };
    int m_ticksPerFrame { 0 };
    int m_frameSelect { 0 };
    int m_bandActive { 0 };
    CPoint m_bandStart;
    CPoint m_bandEnd;
    NotCopied<std::unique_ptr<Gdiplus::StringFormat>> m_format;
    NotCopied<std::unique_ptr<Gdiplus::SolidBrush>> m_labelBrush;
    NotCopied<std::unique_ptr<Gdiplus::SolidBrush>> m_shadowBrush;
    NotCopied<std::unique_ptr<CKeyboardTips>> m_tips;
    // The label font of mode 100, fetched before the key lock is taken for a rebuild.
    NotCopied<const Gdiplus::Font*> m_labelFont;
    // Light mode: every key's outline over the picture as the last rebuild left it, and the
    // frame the memory picture shows (-1: none composed yet).
    NotCopied<KeyOutlineLayer> m_outlines;
    int m_composedFrame { -1 };
    // Mode 100: the keys drawn once over nothing and laid over the ground at each rebuild,
    // drawn again only when what they are drawn from changed.
    NotCopied<LookLayer> m_flatLook;
    NotCopied<FlatLookSource> m_flatLookSource;
};

} // namespace KOVA
