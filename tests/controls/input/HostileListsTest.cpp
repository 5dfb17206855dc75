// Hostile input at the exported calls of the lists and combo boxes (MListBox, DListBox,
// MComboBox, its drop-down list, CColorCombo): null and overlong texts, negative and huge
// indexes, row heights and sizes, missing skin images and resources, and posted input at the
// ends of the coordinate range. Each call gives its failure result or sound behaviour, and
// the control works afterwards.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "controls/input/CColorCombo.h"
#include "controls/input/CComboBoxList.h"
#include "controls/input/CComboBoxWnd.h"
#include "controls/input/MComboBox.h"
#include "controls/input/MListBox.h"
#include "framework/MImageList.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

const CRect kPlace(10, 10, 210, 210);
const std::wstring kOverlong(1 << 14, L'W');
const int kIndexes[] { INT_MIN, -2, -1, 0, 1, 2, 3, INT_MAX };

class Hostile : public ::testing::Test {
protected:
    Hostile() { dialog.activate(); }
    void post(std::initializer_list<UINT> messages, CPoint at)
    {
        dialog.post(messages, at);
        pumpMessages();
    }
    void postExtremes()
    {
        for (const CPoint at : { CPoint(-32768, -32768), CPoint(32767, 32767), CPoint(0, 0), CPoint(60, 25) }) {
            post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP }, at);
            PostMessageW(dialog.GetSafeHwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, -32768), MAKELPARAM(at.x, at.y));
            PostMessageW(dialog.GetSafeHwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, 32767), MAKELPARAM(at.x, at.y));
        }
        pumpMessages();
    }
    template <class Control>
    void abuseRect(Control& control)
    {
        dialog.abuseRect(control, kPlace,
                         [&] { post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, CPoint(60, 25)); });
    }
    NotedDialog dialog { CRect(300, 300, 700, 560) };
};

} // namespace

TEST_F(Hostile, TheListBoxes)
{
    for (const wchar_t* className : { L"MListBox", L"DListBox" }) {
        SCOPED_TRACE(CString(className).GetString());
        auto* panel = dialog.adopt(new MPanel(&dialog, 90, CRect(0, 0, 400, 260), 1));
        auto* list = dynamic_cast<MListBox*>(panel->CreateControl(className, 40, kPlace, nullptr, 1, 1));
        ASSERT_TRUE(list);
        EXPECT_EQ(0, list->AddString(nullptr, INT_MAX));
        EXPECT_EQ(1, list->AddString(kOverlong.c_str(), LONG_MIN, INT_MIN));
        EXPECT_EQ(2, list->AddString(L"three", -1));
        for (const int index : kIndexes) {
            const bool valid = index >= 0 && index <= 2;
            if (!valid && index != -1) {
                EXPECT_EQ(-1, list->InsertString(index, nullptr, index, index)) << index;
            }
            EXPECT_EQ(valid ? 1 : 0, list->SetItemData(index, index)) << index;
            EXPECT_EQ(valid ? index : 0, list->GetItemData(index)) << index;
            EXPECT_EQ(valid ? 1 : 0, list->ModifyItemString(index, nullptr)) << index;
            EXPECT_EQ(CString(), list->GetItemText(index)) << index;
            EXPECT_EQ(index >= -1 && index <= 2 ? 1 : 0, list->SetCurSel(index)) << index;
            list->SwapItem(index, 0);
            list->SwapItem(1, index);
            list->SetSelectItem(index);
            list->SetItemText(index, kOverlong.c_str());
            list->GetItemRect(index);
        }
        EXPECT_EQ(-1, list->FindString(nullptr));
        list->FindItemData(LONG_MIN);
        EXPECT_EQ(-1, list->SetCurData(LONG_MAX));
        for (const int height : { INT_MIN, 0, INT_MAX, 1, 30 }) {
            list->SetItemHeight(height);
            EXPECT_GE(list->GetItemHeight(), 1);
            dialog.shot();
            for (int notch = 0; notch < 3; ++notch)
                list->OnControlScroll(1, notch % 2, CPoint(60, 25));
        }
        MImageList images;
        images.AddImage(nullptr, 1, 1);
        images.AddImage(L"h35_no_such_icon.png", 2, INT_MAX);
        list->SetImageList(&images);
        dialog.shot();
        list->SetImageList(nullptr);
        list->EnableShowEdit(1);
        list->SetCurSel(-1);
        list->ShowEdit();
        list->SetCurSel(0);
        list->ShowEdit();
        list->HideEdit(INT_MIN);
        list->HideEdit(1);
        if (auto* strip = dynamic_cast<DListBox*>(list)) {
            EXPECT_EQ(0, strip->SetImage(nullptr, 0));
            EXPECT_EQ(0, strip->SetImage(L"h35_no_such_strip.png", INT_MIN));
            EXPECT_EQ(0, strip->SetEditImage(nullptr, INT_MAX));
            EXPECT_EQ(0, strip->SetEditImage(L"h35_no_such_strip.png", 0));
        }
        list->GetControlDropBitmap();
        abuseRect(*list);
        postExtremes();
        EXPECT_EQ(0, list->DeleteItem(INT_MIN));
        EXPECT_EQ(0, list->DeleteItem(INT_MAX));
        EXPECT_EQ(1, list->DeleteAllItems());
        EXPECT_EQ(0, list->AddString(L"still here", -1));
        EXPECT_EQ(CString(L"still here"), list->GetItemText(0));
        dialog.GetPaintManager()->RemoveControl(panel);
        pumpMessages();
    }
}

TEST_F(Hostile, TheComboBoxAndItsDropDown)
{
    auto* combo = dialog.adopt(new MComboBox(&dialog, 4, CRect(20, 30, 180, 60), 1, 1));
    EXPECT_EQ(0, combo->AddItem(nullptr, LONG_MIN, nullptr, Gdiplus::Color(0)));
    EXPECT_EQ(1, combo->AddItem(kOverlong.c_str(), LONG_MAX, kOverlong.c_str(), Gdiplus::Color(0xFFFFFFFF)));
    EXPECT_EQ(2, combo->AddItem(L"three", 3, L"h35_no_such_icon.png", Gdiplus::Color(0)));
    for (const int index : kIndexes) {
        const bool valid = index >= 0 && index <= 2;
        if (!valid && index != -1) {
            EXPECT_EQ(-1, combo->InsertItem(index, nullptr, 0, nullptr, Gdiplus::Color(0))) << index;
        }
        EXPECT_EQ(valid ? 1 : 0, combo->SetItemData(index, index)) << index;
        EXPECT_EQ(valid ? index : 0, combo->GetItemData(index)) << index;
        EXPECT_EQ(valid ? 1 : 0, combo->SetItemText(index, CString(kOverlong.c_str()))) << index;
        EXPECT_EQ(index >= -1 && index <= 2 ? 1 : 0, combo->SetCurSel(index)) << index;
        combo->GetItemText(index);
        combo->GetCurData();
        combo->OnMessage(88, 2, static_cast<UINT>(index), 0x13);
    }
    EXPECT_EQ(0, combo->DeleteItem(INT_MIN));
    EXPECT_EQ(0, combo->DeleteItem(INT_MAX));
    EXPECT_EQ(-1, combo->FindData(LONG_MIN));
    EXPECT_EQ(0, combo->SelectData(LONG_MIN));
    EXPECT_EQ(0, combo->SetImage(L"h35_no_such_face.png", INT_MIN));
    EXPECT_EQ(0, combo->SetImage(nullptr, 4));
    EXPECT_EQ(1, combo->SetShowModeMID(INT_MIN, -1, INT_MAX, 0));
    combo->SetTextRect(CRect(100000, -5, -100000, 5));
    dialog.shot();
    const struct { const wchar_t* file; UINT resource; UINT vertical; UINT horizontal; } looks[] {
        { nullptr, 0, 0xFFFFFFFF, 1 }, { L"h35_no_such_back.png", 0, 7, 9 }, { kOverlong.c_str(), 0, 0, 0 },
        { nullptr, 0xFFFF, 102, 101 }, { nullptr, 102, 0, 0 },
    };
    for (const auto& look : looks) {
        if (look.file)
            EXPECT_EQ(1, combo->SetBackImage(look.file));
        else
            EXPECT_EQ(1, combo->SetBackImage(look.resource, CString(look.resource == 0xFFFF ? L"" : L"PNG")));
        combo->SetBackImage(nullptr);
        combo->SetScrollResID(look.vertical, look.horizontal);
        combo->OnMessage(9, 2, 0, 0);
        ASSERT_TRUE(combo->GetDropDown());
        pumpMessages();
        const HWND window = combo->GetDropDown()->GetSafeHwnd();
        for (const LPARAM at : { MAKELPARAM(-32768, -32768), MAKELPARAM(32767, 32767), MAKELPARAM(20, 500) }) {
            PostMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, -32768), at);
            PostMessageW(window, WM_MOUSEMOVE, 0, at);
            PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageW(window, WM_LBUTTONUP, 0, at);
        }
        pumpMessages();
        combo->OnMessage(0, 22, 0, 0);
    }
    // Ten thousand items in one drop-down, and none.
    for (int i = 0; i < 10000; ++i)
        combo->AddItem(L"item", i, nullptr, Gdiplus::Color(0));
    combo->OnMessage(9, 2, 0, 0);
    pumpMessages();
    EXPECT_EQ(1, combo->DelAllItems());
    combo->OnMessage(9, 2, 0, 0);
    pumpMessages();
    for (const CRect rect : { CRect(), CRect(200, 200, 100, 100), CRect(0, 0, 40000, 40000) }) {
        combo->SetRect(rect);
        combo->OnMessage(9, 2, 0, 0);
        dialog.shot();
    }
    combo->SetRect(CRect(20, 30, 180, 60));
    postExtremes();
    EXPECT_EQ(0, combo->AddItem(L"still here", 1, nullptr, Gdiplus::Color(0)));
    EXPECT_EQ(1, combo->SetCurSel(0));
    EXPECT_EQ(CString(L"still here"), combo->GetTitle());
}

// The drop-down list and the colour face on their own.
TEST_F(Hostile, TheDropDownListAndTheColourFace)
{
    auto* list = dialog.adopt(new CComboBoxList(&dialog, 88, kPlace, 1, 1));
    EXPECT_EQ(0, list->AddItem(nullptr, LONG_MIN, nullptr, Gdiplus::Color(0)));
    EXPECT_EQ(1, list->AddItem(kOverlong.c_str(), 0, kOverlong.c_str(), Gdiplus::Color(0)));
    for (int i = 0; i < 20; ++i)
        list->AddItem(L"row", i, nullptr, Gdiplus::Color(0));
    list->SetTextColor(Gdiplus::Color(0));
    abuseRect(*list);
    postExtremes();
    EXPECT_EQ(0, list->DelAllItems());
    EXPECT_EQ(0, list->DelAllItems()) << "already empty";
    EXPECT_EQ(0, list->GetListHeight());

    auto* face = dialog.adopt(new CColorCombo(&dialog, 5, CRect(230, 20, 260, 40), 1, 1));
    for (const Gdiplus::ARGB colour : { 0x00000000u, 0xFFFFFFFFu, 0x80FF00FFu }) {
        face->SetAreaColor(Gdiplus::Color(colour));
        face->SetIsOpen(colour != 0);
        dialog.shot();
    }
    EXPECT_EQ(0, face->SetImage(nullptr, INT_MIN));
    abuseRect(*face);
    postExtremes();
}
