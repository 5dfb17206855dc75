// Hostile input at the exported calls of the text fields (MEdit, the colour edits, the rich
// edits): null, overlong and malformed texts, negative and huge indexes, ranges, limits and
// sizes, missing skin images, RTF files that are missing, a folder, empty, random bytes, nested
// beyond reason or 40 MB, and posted input at the ends of the coordinate range. Each call
// gives its failure result or sound behaviour, and the field works afterwards.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "ScratchFile.h"
#include "ScratchFolder.h"
#include "ScratchStrip.h"
#include "controls/input/CLogonEdit.h"
#include "controls/input/CSpinButton.h"
#include "controls/input/HexColorEdit.h"
#include "controls/input/MEdit.h"
#include "controls/input/MEditEx.h"
#include "controls/input/MRichEdit.h"
#include "controls/input/RGBColorEdit.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const CRect kPlace(20, 20, 260, 70);
const CPoint kOn(150, 46);
const std::wstring kOverlong(1 << 14, L'W');

std::vector<BYTE> bytesOf(const std::string& text)
{
    return std::vector<BYTE>(text.begin(), text.end());
}

class Hostile : public ::testing::Test {
protected:
    Hostile() { dialog.activate(); }
    void click(CPoint at)
    {
        dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, at);
        pumpMessages();
    }
    // Presses, wheels, keys and characters at the ends of what a message can carry.
    void postExtremes()
    {
        const HWND window = dialog.GetSafeHwnd();
        for (const LPARAM at : { MAKELPARAM(-32768, -32768), MAKELPARAM(32767, 32767), MAKELPARAM(0, 0) }) {
            for (const UINT msg : { WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP })
                PostMessageW(window, msg, 0, at);
            PostMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, -32768), at);
        }
        for (const WPARAM key : { WPARAM(0), WPARAM(VK_BACK), WPARAM(VK_DELETE), WPARAM(0xFF) })
            PostMessageW(window, WM_KEYDOWN, key, 0xFFFFFFFF);
        for (const WPARAM ch : { WPARAM(0), WPARAM(0xFFFF), WPARAM(0xD800), WPARAM(L'\r') })
            PostMessageW(window, WM_CHAR, ch, 1);
        pumpMessages();
    }
    template <class Field>
    void abuseRect(Field& field)
    {
        dialog.abuseRect(field, kPlace, [&] {
            click(kOn);
            click(CPoint(390, 190));
        });
    }
    NotedDialog dialog;
};

} // namespace

TEST_F(Hostile, TheWindowlessEdit)
{
    ScratchStrip icon(GetSkinPath(), L"h35_edit_icon.png", 8, 8, { 0xFFFF0000, 0xFF00FF00 });
    MEdit* edit = dialog.create<MEdit>(L"MEdit", 7, kPlace, nullptr);
    ASSERT_TRUE(edit);
    edit->SetControlTitle(nullptr);
    edit->SetEditText(nullptr);
    edit->SetTipInfo(nullptr);
    EXPECT_EQ(CString(), edit->GetTitle());
    edit->SetControlTitle(kOverlong.c_str());
    edit->SetTipInfo(kOverlong.c_str());
    dialog.shot();
    for (const int limit : { INT_MIN, -1, 0, INT_MAX, 3 }) {
        edit->SetLimitText(limit);
        click(kOn);
        dialog.type(L"x");
        click(CPoint(390, 190));
    }
    edit->SetPassWordChar(0);
    edit->EnablePassWord(1);
    dialog.shot();
    edit->EnablePassWord(0);
    edit->SetEditFont(nullptr, INT_MIN, 1, 1, 1);
    edit->SetEditFont(kOverlong.c_str(), INT_MAX, 0, 0, 0);
    edit->SetEditFont(L"Arial", 0, 0, 0, 0);
    EXPECT_NE(nullptr, edit->GetDefaultFont());
    EXPECT_EQ(0, edit->SetIconImage(nullptr, 4));
    EXPECT_EQ(0, edit->SetIconImage(L"h35_no_such_icon.png", 4));
    EXPECT_EQ(0, edit->SetIconImage(L"h35_edit_icon.png", -3));
    EXPECT_EQ(1, edit->SetIconImage(L"h35_edit_icon.png", INT_MAX)) << "frames of no width";
    dialog.shot();
    for (const CRect text : { CRect(-100000, -100000, 100000, 100000), CRect(50, 50, 10, 10), CRect() }) {
        edit->SetTextRect(text);
        click(kOn);
        click(CPoint(390, 190));
    }
    abuseRect(*edit);
    postExtremes();
    edit->SetControlTitle(L"still here");
    EXPECT_EQ(CString(L"still here"), edit->GetTitle());
}

// Hex: cut by length, an empty text changes nothing, more than six characters is black.
// Decimal: read as far as it is a number and held within 0..255.
TEST_F(Hostile, TheColourEdits)
{
    HexColorEdit* hex = dialog.adopt(new HexColorEdit(&dialog, 5, kPlace, nullptr, 1, 1));
    RGBColorEdit* rgb = dialog.adopt(new RGBColorEdit(&dialog, 6, CRect(20, 100, 260, 130), nullptr, 1, 1));
    const struct { const wchar_t* text; COLORREF hexColour; COLORREF red; } cases[] {
        { nullptr, 0x0000FF, 0 }, { L"", 0x0000FF, 0 }, { kOverlong.c_str(), 0, 0 }, { L"zz", 0, 0 },
        { L"-1", 0, 0 }, { L"\x4E2D\x6587", 0, 0 }, { L"99999999999999999999", 0, 255 }, { L"-99999999999", 0, 0 },
        { L"fffffff", 0, 0 }, { L"12", 0x000012, 12 },
    };
    for (const auto& c : cases) {
        hex->SetSelectColor(0x0000FF);
        hex->SetEditText(c.text);
        EXPECT_EQ(c.hexColour, hex->GetSelectColor()) << (c.text ? CString(c.text).Left(12).GetString() : L"null");
        rgb->SetSelectColor(0);
        rgb->SetEditText(c.text);
        EXPECT_EQ(c.red, rgb->GetSelectColor()) << (c.text ? CString(c.text).Left(12).GetString() : L"null");
    }
    for (ColorTextEdit* field : { static_cast<ColorTextEdit*>(hex), static_cast<ColorTextEdit*>(rgb) }) {
        field->SetSelectColor(0xFFFFFFFF);
        dialog.shot();
        for (const int limit : { INT_MIN, -1, 0, INT_MAX }) {
            field->SetLimitText(limit);
            field->SetNumberOnly(limit);
            click(CPoint(field->GetRect().left + 40, field->GetRect().CenterPoint().y));
            dialog.type(L"zz9");
            click(CPoint(390, 190));
        }
    }
    abuseRect(*hex);
    abuseRect(*rgb);
    postExtremes();
    hex->SetEditText(L"102030");
    EXPECT_EQ(0x302010u, hex->GetSelectColor());
}

namespace {
struct RichCase {
    const wchar_t* name;
    std::function<MRichEdit*(NotedDialog&)> make;
};

const RichCase kRichEdits[] {
    { L"MRichEdit", [](NotedDialog& d) { return d.adopt(new MRichEdit(&d, 7, kPlace, nullptr, 1, 1)); } },
    { L"MEditEx", [](NotedDialog& d) { return d.adopt(new MEditEx(&d, 7, kPlace, nullptr, 1, 1)); } },
    { L"CLogonEdit", [](NotedDialog& d) { return d.adopt(new CLogonEdit(&d, 7, kPlace, nullptr, 1, 1)); } },
    { L"CSpinButton", [](NotedDialog& d) { return d.adopt(new CSpinButton(&d, 7, kPlace, 1, 1)); } },
};

// Every byte set: counts, masks, sizes and names as large as they go.
template <class Format>
Format garbage()
{
    Format format;
    std::memset(&format, 0xFF, sizeof(format));
    return format;
}
} // namespace

TEST_F(Hostile, TheRichEditsTextLinesSelectionAndFormats)
{
    for (const RichCase& c : kRichEdits) {
        SCOPED_TRACE(CString(c.name).GetString());
        MRichEdit* edit = c.make(dialog);
        edit->SetControlTitle(nullptr);
        edit->SetControlTitle(kOverlong.c_str());
        edit->SetControlTitle(L"one\r\ntwo");
        for (const long start : { LONG_MIN, -1L, 0L, 3L, LONG_MAX })
            for (const long end : { LONG_MIN, -1L, 0L, 5L, LONG_MAX })
                EXPECT_LE(edit->GetTextRange(start, end).GetLength(), 8);
        for (const int line : { INT_MIN, -1, 0, 1, INT_MAX })
            for (const int length : { INT_MIN, -1, 0, 1, INT_MAX })
                EXPECT_LE(edit->GetLine(line, length).GetLength(), 8);
        for (const int n : { INT_MIN, -1, INT_MAX }) {
            edit->LineIndex(n);
            edit->LineLength(n);
            edit->LineFromChar(n);
            edit->PosFromChar(n);
            edit->CharFromPos(CPoint(n, n));
            edit->SetSel(n, -n - 1);
            edit->InsertText(n, nullptr, 1);
            edit->InsertText(n, L"x", 0);
            edit->LineScroll(n, n);
            edit->SetUndoLimit(n);
            EXPECT_EQ(0, edit->SetZoom(n, n));
        }
        edit->ReplaceSel(nullptr, 1);
        edit->ReplaceSelW(nullptr, 0);
        edit->AppendText(nullptr, 1);
        edit->AppendText(kOverlong.c_str(), 1);
        edit->GetSelText();
        edit->Undo();
        edit->Redo();
        CHARFORMAT2W charFormat = garbage<CHARFORMAT2W>();
        edit->SetSelectionCharFormat(charFormat);
        charFormat = garbage<CHARFORMAT2W>();
        edit->SetWordCharFormat(charFormat);
        charFormat = garbage<CHARFORMAT2W>();
        edit->SetDefaultCharFormat(charFormat);
        PARAFORMAT2 paraFormat = garbage<PARAFORMAT2>();
        edit->SetParaFormat(paraFormat);
        EDITSTREAM none { 0, 0, nullptr };
        EXPECT_EQ(0, edit->StreamIn(SF_RTF, none));
        EXPECT_EQ(0, edit->StreamOut(SF_RTF, none));
        edit->SetFont(nullptr, INT_MIN, 1, 1, 1);
        edit->SetFont(kOverlong.c_str(), INT_MAX, 0, 0, 0);
        EXPECT_EQ(0, edit->SetIconImage(nullptr, 1));
        EXPECT_EQ(0, edit->SetIconImage(L"h35_no_such_icon.png", 1));
        edit->SetTextPadding(RECT { INT_MIN, -1000, INT_MAX, 100000 });
        dialog.shot();
        edit->SetTextPadding(RECT { 5, 5, 5, 5 });
        for (const int limit : { INT_MIN, -1, 0, INT_MAX, 4 })
            edit->SetLimitText(limit);
        edit->SetPassWordChar(0);
        abuseRect(*edit);
        postExtremes();
        edit->SetLimitText(256);
        edit->SetControlTitle(L"still here");
        EXPECT_EQ(CString(L"still here"), edit->GetTitle());
        dialog.GetPaintManager()->RemoveControl(edit);
        pumpMessages();
    }
}

// A spin value at either end of int steps to the other end of its range, never past it.
TEST_F(Hostile, TheSpinFieldAtTheEndsOfInt)
{
    auto* spin = dialog.adopt(new CSpinButton(&dialog, 7, kPlace, 1, 1));
    // An inverted range: the step lands on the minimum, and the maximum holds as it is shown.
    const struct { int minimum, maximum, value; UINT arrow; int after; } cases[] {
        { INT_MIN, INT_MAX, INT_MAX, CSpinButton::kUpId, INT_MIN }, { INT_MIN, INT_MAX, INT_MIN, CSpinButton::kDownId, INT_MAX },
        { INT_MAX, INT_MIN, 0, CSpinButton::kUpId, INT_MIN }, { 5, 5, 5, CSpinButton::kDownId, 5 },
    };
    for (const auto& c : cases) {
        spin->SetRange(c.minimum, c.maximum);
        spin->SetCurValue(c.value);
        spin->OnMessage(c.arrow, 2, 0, 0);
        EXPECT_EQ(c.after, spin->GetCurValue()) << c.minimum << " " << c.maximum << " " << c.value;
    }
    spin->SetRange(0, 100);
    click(kOn);
    dialog.type(L"99999999999999999999");
    click(CPoint(390, 190));
    EXPECT_GE(spin->GetCurValue(), 0);
    EXPECT_LE(spin->GetCurValue(), 100);
}

// What LoadRtf is handed: nothing, no file, a folder, no bytes, noise, groups nested past
// what the services survive, more than a field takes (a 40 MB file among them). Refused
// files leave the text as it was; a usual one loads.
TEST_F(Hostile, RtfFilesOfEveryWrongKind)
{
    ScratchFolder folder(L"h35rtf");
    std::mt19937 random(35);
    std::vector<BYTE> noise(1 << 16);
    for (BYTE& b : noise)
        b = static_cast<BYTE>(random());
    const auto nestedOf = [](size_t depth) {
        return bytesOf("{\\rtf1 " + std::string(depth, '{') + "deep" + std::string(depth, '}') + "}");
    };
    const auto plainOf = [](size_t length) {
        std::vector<BYTE> bytes = bytesOf("{\\rtf1 ");
        bytes.resize(bytes.size() + length, 'a');
        bytes.push_back('}');
        return bytes;
    };
    // Noise may load as whatever the services make of it.
    enum Outcome { Refused, Loads, Either };
    const struct { const wchar_t* name; std::vector<BYTE> bytes; Outcome outcome; const wchar_t* text; } files[] {
        { L"usual.rtf", nestedOf(29), Loads, L"deep" }, { L"empty.rtf", {}, Refused, nullptr },
        { L"noise.rtf", noise, Either, nullptr }, { L"deep.rtf", nestedOf(30), Refused, nullptr },
        { L"deeper.rtf", nestedOf(200000), Refused, nullptr }, { L"long.rtf", plainOf(200 << 10), Refused, nullptr },
        { L"large.rtf", plainOf(40u << 20), Refused, nullptr },
    };
    MRichEdit* edit = dialog.adopt(new MRichEdit(&dialog, 7, kPlace, nullptr, 1, 1));
    EXPECT_EQ(0, edit->LoadRtf(nullptr));
    EXPECT_EQ(0, edit->LoadRtf(L"C:\\h35\\no\\such\\file.rtf"));
    EXPECT_EQ(0, edit->LoadRtf(folder.path()));
    EXPECT_EQ(0, edit->LoadRtf(kOverlong.c_str()));
    for (const auto& f : files) {
        edit->SetControlTitle(L"before");
        const ScratchFile file(folder.path(), f.name, f.bytes);
        const int loaded = edit->LoadRtf(file.path());
        if (f.outcome != Either) {
            EXPECT_EQ(f.outcome == Loads, loaded > 0) << CString(f.name).GetString();
            EXPECT_EQ(CString(f.outcome == Loads ? f.text : L"before"), edit->GetTitle()) << CString(f.name).GetString();
        }
        dialog.shot();
    }
    EXPECT_EQ(0, edit->SaveRtf(nullptr));
    EXPECT_EQ(0, edit->SaveRtf(folder.path()));
    EXPECT_EQ(0, edit->SaveRtf(L"C:\\h35\\no\\such\\folder\\out.rtf"));
    EXPECT_EQ(0, edit->SaveRtf(kOverlong.c_str()));
}
