#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>

#include "KOVA.h"
#include "LibraryHost.h"
#include "framework/ControlFactory.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// The class built straight with its constructor form's arguments: what the factory must make
// of the same arguments.
template <class T, char Form>
MControl* direct(MObject* parent, UINT id, CRect rect, const wchar_t* title, int a, int b)
{
    if constexpr (Form == 'A')
        return new T(parent, id, rect, title, a, b);
    else if constexpr (Form == 'B')
        return new T(parent, id, rect, a, b);
    else if constexpr (Form == 'C')
        return new T(parent, id, rect, a, 1);
    else if constexpr (Form == 'D')
        return new T(parent, id, rect, title, a, 1);
    else if constexpr (Form == 'E')
        return new T(parent, id, rect, a);
    else if constexpr (Form == 'F')
        return new T(parent, id, rect, title, a);
    else
        return new T(parent, id, rect, title, 1, 1);
}

// Every class name the factories know, from every family, with the tables that know it and
// its constructor form.
struct FamilyRow {
    const wchar_t* name;
    bool inWindowTable;
    bool inPanelTable;
    MControl* (*build)(MObject*, UINT, CRect, const wchar_t*, int, int);
};

const FamilyRow kRows[] = {
    { L"CArea", true, true, direct<CArea, 'C'> },
    { L"MText", true, true, direct<MText, 'F'> },
    { L"MPicture", true, true, direct<MPicture, 'B'> },
    { L"CPhotoFrame", true, true, direct<CPhotoFrame, 'B'> },
    { L"CSliderPicture", true, true, direct<CSliderPicture, 'B'> },
    { L"CGifPicture", true, true, direct<CGifPicture, 'B'> },
    { L"MProgress", true, true, direct<MProgress, 'B'> },
    { L"MSlider", true, true, direct<MSlider, 'B'> },
    { L"MButton", true, true, direct<MButton, 'A'> },
    { L"CImageButton", true, true, direct<CImageButton, 'A'> },
    { L"CTextButton", true, true, direct<CTextButton, 'A'> },
    { L"CCheckButton", true, true, direct<CCheckButton, 'A'> },
    { L"CRadioButton", true, true, direct<CRadioButton, 'A'> },
    { L"CColorButton", true, true, direct<CColorButton, 'B'> },
    { L"MSpinButton", true, true, direct<MSpinButton, 'B'> },
    { L"CSwitchButton", true, true, direct<CSwitchButton, 'B'> },
    { L"CIconButton", true, true, direct<CIconButton, 'A'> },
    { L"CTimerButton", true, true, direct<CTimerButton, 'A'> },
    { L"CHelpButton", true, true, direct<CHelpButton, 'A'> },
    { L"MEdit", true, true, direct<MEdit, 'A'> },
    { L"MRichEdit", true, true, direct<MRichEdit, 'A'> },
    { L"MEditEx", true, true, direct<MEditEx, 'A'> },
    { L"CSpinButton", true, true, direct<CSpinButton, 'B'> },
    { L"RGBColorEdit", false, true, direct<RGBColorEdit, 'D'> },
    { L"HexColorEdit", false, true, direct<HexColorEdit, 'D'> },
    { L"MTabCtrl", true, true, direct<MTabCtrl, 'B'> },
    { L"MTabLayout", true, true, direct<MTabLayout, 'E'> },
    { L"MenuItem", true, true, direct<MenuItem, 'D'> },
    { L"UpgradeButton", false, true, direct<UpgradeButton, 'D'> },
    { L"DownloadButton", false, true, direct<DownloadButton, 'D'> },
    { L"MButton2", true, true, direct<MButton2, 'D'> },
    { L"CImageButton2", true, true, direct<CImageButton2, 'D'> },
    { L"CTabCtrl2", true, true, direct<CTabCtrl2, 'C'> },
    { L"CTabCtrlEx", true, true, direct<CTabCtrlEx, 'C'> },
    { L"MButton3", false, true, direct<MButton3, 'G'> },
    { L"CColorButton2", false, true, direct<CColorButton2, 'C'> },
    { L"CTabCtrl5", true, true, direct<CTabCtrl5, 'C'> },
    { L"CColorButton3", false, true, direct<CColorButton3, 'C'> },
    { L"LEDModeList", false, true, direct<LEDModeList, 'C'> },
    { L"TabCtrl6", false, true, direct<TabCtrl6, 'C'> },
    { L"ClockCtrl", false, true, direct<ClockCtrl, 'C'> },
    { L"MSlider2", false, true, direct<MSlider2, 'C'> },
    { L"CaptureCtrl", false, true, direct<CaptureCtrl, 'C'> },
    { L"ClockTypeCtrl", false, true, direct<ClockTypeCtrl, 'C'> },
    { L"LEDModeCtrl", false, true, direct<LEDModeCtrl, 'C'> },
    { L"LEDImageCtrl", false, true, direct<LEDImageCtrl, 'C'> },
    { L"CRadioButton2", false, true, direct<CRadioButton2, 'D'> },
    { L"LEDImageCtrl2", false, true, direct<LEDImageCtrl2, 'C'> },
    { L"LEDTypeCtrl", false, true, direct<LEDTypeCtrl, 'C'> },
    { L"OpenCVViewCtrl", true, true, direct<OpenCVViewCtrl, 'C'> },
    { L"GIFViewCtrl", true, true, direct<GIFViewCtrl, 'C'> },
    { L"CircleProgress", true, true, direct<CircleProgress, 'C'> },
    { L"CFanDevCtrl", true, true, direct<CFanDevCtrl, 'C'> },
    { L"CFan2DevCtrl", false, true, direct<CFan2DevCtrl, 'C'> },
    { L"Fan2TempCurve", false, true, direct<Fan2TempCurve, 'C'> },
    { L"DevChannelCtrl", false, true, direct<DevChannelCtrl, 'C'> },
    { L"FanCountCtrl", false, true, direct<FanCountCtrl, 'C'> },
    { L"FanDeviceBox", false, true, direct<FanDeviceBox, 'C'> },
    { L"MPalette", true, true, direct<MPalette, 'E'> },
    { L"MPaletteBar", false, true, direct<MPaletteBar, 'E'> },
    { L"CirclePalette", true, true, direct<CirclePalette, 'C'> },
    { L"ThemeColor", false, true, direct<ThemeColor, 'C'> },
    { L"MComboBox", true, true, direct<MComboBox, 'B'> },
    { L"MLevelCtrl", true, true, direct<MLevelCtrl, 'B'> },
    { L"CDeviceCtrl", true, true, direct<CDeviceCtrl, 'C'> },
    { L"ArchivedCtrl", false, true, direct<ArchivedCtrl, 'C'> },
    { L"LightCtrl", false, true, direct<LightCtrl, 'C'> },
    { L"CHomeFuncCtrl", true, true, direct<CHomeFuncCtrl, 'C'> },
    { L"LightLayer", false, true, direct<LightLayer, 'C'> },
    { L"DevSelectCtrl", false, true, direct<DevSelectCtrl, 'C'> },
    { L"UsageRateCtrl", false, true, direct<UsageRateCtrl, 'C'> },
    { L"CHardwareInfoBkg", false, true, direct<CHardwareInfoBkg, 'C'> },
    { L"CHardwareInfo", false, true, direct<CHardwareInfo, 'C'> },
    { L"SysInfoCtrl", false, true, direct<SysInfoCtrl, 'C'> },
    { L"SysInfo2Ctrl", false, true, direct<SysInfo2Ctrl, 'C'> },
    { L"Fan2CoolMode", false, true, direct<Fan2CoolMode, 'C'> },
    { L"CColorPalette", true, true, direct<CColorPalette, 'E'> },
    { L"CColorSelect", true, true, direct<CColorSelect, 'E'> },
    { L"MListBox", true, true, direct<MListBox, 'E'> },
    { L"DListBox", false, true, direct<DListBox, 'E'> },
    { L"KeyboardCtrl", true, true, direct<KeyboardCtrl, 'E'> },
    { L"KeyFuncControl", false, true, direct<KeyFuncControl, 'E'> },
    { L"CRecordList", false, true, direct<CRecordList, 'E'> },
    { L"DPIControl", false, true, direct<DPIControl, 'E'> },
    { L"MouseKeyCtrl", false, true, direct<MouseKeyCtrl, 'E'> },
    { L"MouseCtrl", false, true, direct<MouseCtrl, 'E'> },
    { L"MouseLight", false, true, direct<MouseLight, 'E'> },
    { L"CGifPicture2", true, false, direct<CGifPicture2, 'C'> },
    { L"CComboBoxList", true, false, direct<CComboBoxList, 'C'> },
    { L"CComboBoxList2", true, false, direct<CComboBoxList2, 'C'> },
};

void expectSameControl(MControl& expected, MControl& made)
{
    EXPECT_STREQ(typeid(expected).name(), typeid(made).name());
    EXPECT_EQ(expected.GetRect(), made.GetRect());
    EXPECT_EQ(expected.GetControlID(), made.GetControlID());
    EXPECT_EQ(expected.IsVisible(), made.IsVisible());
    EXPECT_EQ(expected.IsEnabled(), made.IsEnabled());
    auto* expectedFont = dynamic_cast<MControlFont*>(&expected);
    auto* madeFont = dynamic_cast<MControlFont*>(&made);
    if (expectedFont && madeFont) {
        EXPECT_EQ(expectedFont->GetTitle(), madeFont->GetTitle());
    }
}

// Each family brings its rows: a family left out, a row in the wrong table or with another
// constructor form shows here, for the window's table and the panel's.
TEST(ControlFamilies, EveryClassNameIsMadeByTheTablesThatKnowItInItsForm)
{
    MPanel parent(nullptr, 1, CRect(0, 0, 200, 200), 1);
    const CRect place(3, 4, 60, 50);
    for (const FamilyRow& row : kRows) {
        SCOPED_TRACE(testing::Message() << row.name);
        const std::unique_ptr<MControl> expected(row.build(&parent, 7, place, L"T", 0, 0));
        for (const auto& [table, known] : { std::make_pair(ControlTable::Window, row.inWindowTable),
                                            std::make_pair(ControlTable::Panel, row.inPanelTable) }) {
            const std::unique_ptr<MControl> made(
                CreateControlByClassName(table, row.name, &parent, 7, place, L"T", 0, 0));
            EXPECT_EQ(known, made != nullptr) << (table == ControlTable::Window ? "window" : "panel");
            if (made)
                expectSameControl(*expected, *made);
        }
    }
}

} // namespace
