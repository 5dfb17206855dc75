// The text fields page: MEdit with its tip, a password and an icon; the hex and RGB colour
// edits; the rich edit with a formatted line; the single-line rich edit, the log-on field
// and the numeric spin field. Every field can be typed into; the native edit windows open
// over the windowless ones on a click.
#include "SamplePage.h"

#include "HostTools.h"

using namespace KOVA;

namespace {

constexpr UINT kFirstId = 7000;
const Gdiplus::Color kCaption(255, 200, 200, 210);
const Gdiplus::Color kBorders[4] { { 255, 90, 90, 100 }, { 255, 150, 150, 165 }, { 255, 189, 48, 255 }, { 255, 60, 60, 64 } };

// ---- the page's own skin

void writeEditSkin()
{
    HostTools::WriteSkinStrip(L"sample_edit_back.png", 24, 24, 4, [](Gdiplus::Graphics& g, int frame, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush fill(Gdiplus::Color(255, 34, 37, 39));
        g.FillRectangle(&fill, r);
        const Gdiplus::Pen border(kBorders[frame], 1.0f);
        g.DrawRectangle(&border, r.X, r.Y, r.Width - 1, r.Height - 1);
    });
    HostTools::WriteSkinStrip(L"sample_edit_icon.png", 16, 16, 4, [](Gdiplus::Graphics& g, int frame, Gdiplus::Rect r) {
        const Gdiplus::Pen lens(kBorders[frame == 0 ? 1 : 2], 2.0f);
        g.DrawEllipse(&lens, r.X + 2, r.Y + 2, 8, 8);
        g.DrawLine(&lens, r.X + 9, r.Y + 9, r.X + 14, r.Y + 14);
    });
}

class Builder {
public:
    Builder(MPanel* page, const CRect& area) : m_page(page), m_left(area.left + 30), m_top(area.top + 24) {}

    template <class T>
    T* add(const wchar_t* className, int x, int y, int width, int height, const wchar_t* title = L"")
    {
        return dynamic_cast<T*>(m_page->CreateControl(className, m_id++, place(x, y, width, height), title, 1, 1));
    }
    CRect place(int x, int y, int width, int height) const
    {
        return CRect(m_left + x, m_top + y, m_left + x + width, m_top + y + height);
    }
    // The log-on field has no factory row: it is built with its constructor and joins the
    // page while the page is built, before anything ticks.
    CLogonEdit* logon(int x, int y, int width, int height, const wchar_t* tip)
    {
        auto* field = new CLogonEdit(m_page, m_id++, place(x, y, width, height), tip, 1, 1);
        field->SetManager(m_page->GetManager());
        m_page->GetControls().push_back(field);
        return field;
    }
    void caption(int y, const wchar_t* text)
    {
        if (auto* label = add<MText>(L"MText", 0, y, 150, 30, text)) {
            label->SetTextColor(kCaption);
            label->SetAlignment(0);
        }
    }

private:
    MPanel* m_page;
    int m_left;
    int m_top;
    UINT m_id { kFirstId };
};

void addEdits(Builder& b)
{
    b.caption(0, L"Text boxes");
    if (auto* name = b.add<MEdit>(L"MEdit", 160, 0, 220, 30, L"Your name")) {
        name->SetImage(L"sample_edit_back.png", 4);
        name->SetTextColor(Gdiplus::Color(255, 230, 230, 236));
    }
    if (auto* secret = b.add<MEdit>(L"MEdit", 400, 0, 220, 30, L"Password")) {
        secret->SetImage(L"sample_edit_back.png", 4);
        secret->SetTextColor(Gdiplus::Color(255, 230, 230, 236));
        secret->EnablePassWord(1);
        // The default mask is a CJK-font glyph; the demo fonts have this one.
        secret->SetPassWordChar(0x25CF);
        secret->SetControlTitle(L"kova");
    }
    if (auto* search = b.add<MEdit>(L"MEdit", 640, 0, 220, 30, L"Search")) {
        search->SetImage(L"sample_edit_back.png", 4);
        search->SetTextColor(Gdiplus::Color(255, 230, 230, 236));
        search->SetIconImage(L"sample_edit_icon.png", 4);
    }
}

void addColorEdits(Builder& b)
{
    b.caption(60, L"Colour edits");
    if (auto* hex = b.add<HexColorEdit>(L"HexColorEdit", 160, 60, 140, 28))
        hex->SetSelectColor(RGB(189, 48, 255));
    if (auto* rgb = b.add<RGBColorEdit>(L"RGBColorEdit", 320, 60, 200, 28))
        rgb->SetSelectColor(RGB(60, 200, 120));
}

void addRichEdits(Builder& b)
{
    b.caption(120, L"Rich edits");
    if (auto* rich = b.add<MRichEdit>(L"MRichEdit", 160, 120, 330, 110, L"Notes")) {
        rich->SetImage(L"sample_edit_back.png", 4);
        rich->SetTextColor(Gdiplus::Color(255, 230, 230, 236));
        rich->SetControlTitle(L"Rich text: bold words and a second line.\r\nTyped, undone and saved as RTF.");
        CHARFORMAT2W bold {};
        bold.dwMask = CFM_BOLD;
        bold.dwEffects = CFE_BOLD;
        rich->SetSel(11, 21);
        rich->SetSelectionCharFormat(bold);
        rich->SetSelNone();
    }
    if (auto* single = b.add<MEditEx>(L"MEditEx", 510, 120, 260, 32, L"One line, centred")) {
        single->SetImage(L"sample_edit_back.png", 4);
        single->SetTextColor(Gdiplus::Color(255, 230, 230, 236));
    }
    if (auto* spin = b.add<CSpinButton>(L"CSpinButton", 510, 170, 120, 32)) {
        spin->SetImage(L"sample_edit_back.png", 4);
        spin->SetTextColor(Gdiplus::Color(255, 230, 230, 236));
        spin->SetCurValue(42);
    }
    auto* logon = b.logon(160, 250, 330, 50, L"Account");
    logon->SetTextColor(Gdiplus::Color(255, 230, 230, 236));
    logon->SetControlTitle(L"player.one");
}

void build(MPanel* page, const CRect& area)
{
    writeEditSkin();
    Builder builder(page, area);
    addEdits(builder);
    addColorEdits(builder);
    addRichEdits(builder);
}

} // namespace

extern const SamplePage kEditsPage { L"edits", build, nullptr, nullptr };
