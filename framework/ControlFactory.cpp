#include "framework/ControlFactory.h"

#include <cwchar>

#include "controls/basic/CArea.h"
#include "controls/basic/CCheckButton.h"
#include "controls/basic/CColorButton.h"
#include "controls/basic/CGifPicture.h"
#include "controls/basic/CHelpButton.h"
#include "controls/basic/CIconButton.h"
#include "controls/basic/CPhotoFrame.h"
#include "controls/basic/CSliderPicture.h"
#include "controls/basic/CSwitchButton.h"
#include "controls/basic/CTextButton.h"
#include "controls/basic/CTimerButton.h"
#include "controls/basic/CircleProgress.h"
#include "controls/basic/MButton.h"
#include "controls/basic/MProgress.h"
#include "controls/basic/MSlider.h"
#include "controls/basic/MSpinButton.h"
#include "controls/basic/MTabCtrl.h"
#include "controls/basic/MTabLayout.h"
#include "controls/basic/MText.h"
#include "controls/basic/MPicture.h"
#include "controls/basic/MenuItem.h"
#include "controls/basic/TabBar.h"
#include "controls/input/CSpinButton.h"
#include "controls/input/HexColorEdit.h"
#include "controls/input/MEdit.h"
#include "controls/input/MEditEx.h"
#include "controls/input/MRichEdit.h"
#include "controls/input/RGBColorEdit.h"
#include "controls/input/CColorPalette.h"
#include "controls/input/CComboBoxList.h"
#include "controls/input/CirclePalette.h"
#include "controls/input/MComboBox.h"
#include "controls/input/MListBox.h"
#include "controls/input/MPalette.h"
#include "controls/input/MPaletteBar.h"
#include "controls/input/ThemeColor.h"
#include "devices/cooling/CFan2DevCtrl.h"
#include "devices/cooling/CFanDevCtrl.h"
#include "devices/cooling/DevChannelCtrl.h"
#include "devices/cooling/Fan2TempCurve.h"
#include "devices/cooling/FanCountCtrl.h"
#include "devices/cooling/FanDeviceBox.h"
#include "devices/cooling/ArchivedCtrl.h"
#include "devices/cooling/CDeviceCtrl.h"
#include "devices/cooling/CHardwareInfo.h"
#include "devices/cooling/CHomeFuncCtrl.h"
#include "devices/cooling/DevSelectCtrl.h"
#include "devices/cooling/LightCtrl.h"
#include "devices/cooling/MLevelCtrl.h"
#include "devices/cooling/ModeRowList.h"
#include "devices/cooling/SysInfoList.h"
#include "devices/cooling/UsageRateCtrl.h"
#include "devices/peripherals/CRecordList.h"
#include "devices/peripherals/DPIControl.h"
#include "devices/peripherals/KeyFuncControl.h"
#include "devices/peripherals/KeyboardCtrl.h"
#include "devices/peripherals/MouseCtrl.h"
#include "devices/peripherals/MouseKeyCtrl.h"
#include "devices/peripherals/MouseLight.h"
#include "lcd/timed/CaptureCtrl.h"
#include "lcd/timed/ClockCtrl.h"
#include "lcd/pickers/ClockTypeCtrl.h"
#include "lcd/media/GIFViewCtrl.h"
#include "lcd/media/LEDImageCtrl2.h"
#include "lcd/pickers/LEDImageCtrl.h"
#include "lcd/renderer/LEDModeCtrl.h"
#include "lcd/pickers/LEDModeList.h"
#include "lcd/pickers/LEDTypeCtrl.h"
#include "lcd/media/OpenCVViewCtrl.h"

namespace KOVA {

namespace {

struct FactoryArgs {
    MObject* parent;
    UINT id;
    CRect rect;
    const wchar_t* title;
    int a;
    int b;
};

using Creator = MControl* (*)(const FactoryArgs&);

// How a class's constructor is called with the factory's arguments. Forms C, D and G pin
// the flags the class's constructor ignores or must not be given.
template <class T>
MControl* formA(const FactoryArgs& x) { return new T(x.parent, x.id, x.rect, x.title, x.a, x.b); }
template <class T>
MControl* formB(const FactoryArgs& x) { return new T(x.parent, x.id, x.rect, x.a, x.b); }
template <class T>
MControl* formC(const FactoryArgs& x) { return new T(x.parent, x.id, x.rect, x.a, 1); }
template <class T>
MControl* formD(const FactoryArgs& x) { return new T(x.parent, x.id, x.rect, x.title, x.a, 1); }
template <class T>
MControl* formE(const FactoryArgs& x) { return new T(x.parent, x.id, x.rect, x.a); }
template <class T>
MControl* formF(const FactoryArgs& x) { return new T(x.parent, x.id, x.rect, x.title, x.a); }
template <class T>
MControl* formG(const FactoryArgs& x) { return new T(x.parent, x.id, x.rect, x.title, 1, 1); }

struct Row {
    const wchar_t* name;
    Creator create;
};

// Both tables in compare order. A class gets its row when it is built; until then its name
// is unknown, as any other.
const Row kWindowTable[] = {
    { L"CArea", formC<CArea> },
    { L"MText", formF<MText> },
    { L"MPicture", formB<MPicture> },
    { L"CPhotoFrame", formB<CPhotoFrame> },
    { L"CSliderPicture", formB<CSliderPicture> },
    { L"CGifPicture", formB<CGifPicture> },
    { L"MProgress", formB<MProgress> },
    { L"MSlider", formB<MSlider> },
    { L"MButton", formA<MButton> },
    { L"CImageButton", formA<CImageButton> },
    { L"CTextButton", formA<CTextButton> },
    { L"CCheckButton", formA<CCheckButton> },
    { L"CRadioButton", formA<CRadioButton> },
    { L"CColorButton", formB<CColorButton> },
    { L"MSpinButton", formB<MSpinButton> },
    { L"CSwitchButton", formB<CSwitchButton> },
    { L"CIconButton", formA<CIconButton> },
    { L"CTimerButton", formA<CTimerButton> },
    { L"CHelpButton", formA<CHelpButton> },
    { L"MEdit", formA<MEdit> },
    { L"MRichEdit", formA<MRichEdit> },
    { L"MEditEx", formA<MEditEx> },
    { L"CSpinButton", formB<CSpinButton> },
    { L"MTabCtrl", formB<MTabCtrl> },
    { L"MTabLayout", formE<MTabLayout> },
    { L"MenuItem", formD<MenuItem> },
    { L"MButton2", formD<MButton2> },
    { L"CImageButton2", formD<CImageButton2> },
    { L"CTabCtrl2", formC<CTabCtrl2> },
    { L"CTabCtrlEx", formC<CTabCtrlEx> },
    { L"CTabCtrl5", formC<CTabCtrl5> },
    { L"CGifPicture2", formC<CGifPicture2> },
    { L"OpenCVViewCtrl", formC<OpenCVViewCtrl> },
    { L"GIFViewCtrl", formC<GIFViewCtrl> },
    { L"CircleProgress", formC<CircleProgress> },
    { L"CFanDevCtrl", formC<CFanDevCtrl> },
    { L"MPalette", formE<MPalette> },
    { L"CirclePalette", formC<CirclePalette> },
    { L"MComboBox", formB<MComboBox> },
    { L"CComboBoxList", formC<CComboBoxList> },
    { L"CComboBoxList2", formC<CComboBoxList2> },
    { L"MLevelCtrl", formB<MLevelCtrl> },
    { L"CDeviceCtrl", formC<CDeviceCtrl> },
    { L"CHomeFuncCtrl", formC<CHomeFuncCtrl> },
    { L"CColorPalette", formE<CColorPalette> },
    { L"CColorSelect", formE<CColorSelect> },
    { L"MListBox", formE<MListBox> },
    // Keyboard and mouse views
    { L"KeyboardCtrl", formE<KeyboardCtrl> },
};

const Row kPanelTable[] = {
    { L"CArea", formC<CArea> },
    { L"MText", formF<MText> },
    { L"MPicture", formB<MPicture> },
    { L"CPhotoFrame", formB<CPhotoFrame> },
    { L"CSliderPicture", formB<CSliderPicture> },
    { L"CGifPicture", formB<CGifPicture> },
    { L"MProgress", formB<MProgress> },
    { L"MSlider", formB<MSlider> },
    { L"MButton", formA<MButton> },
    { L"CImageButton", formA<CImageButton> },
    { L"CTextButton", formA<CTextButton> },
    { L"CCheckButton", formA<CCheckButton> },
    { L"CRadioButton", formA<CRadioButton> },
    { L"CColorButton", formB<CColorButton> },
    { L"MSpinButton", formB<MSpinButton> },
    { L"CSwitchButton", formB<CSwitchButton> },
    { L"CIconButton", formA<CIconButton> },
    { L"CTimerButton", formA<CTimerButton> },
    { L"CHelpButton", formA<CHelpButton> },
    { L"MEdit", formA<MEdit> },
    { L"MRichEdit", formA<MRichEdit> },
    { L"MEditEx", formA<MEditEx> },
    { L"CSpinButton", formB<CSpinButton> },
    { L"RGBColorEdit", formD<RGBColorEdit> },
    { L"HexColorEdit", formD<HexColorEdit> },
    { L"MTabCtrl", formB<MTabCtrl> },
    { L"MTabLayout", formE<MTabLayout> },
    { L"MenuItem", formD<MenuItem> },
    { L"UpgradeButton", formD<UpgradeButton> },
    { L"DownloadButton", formD<DownloadButton> },
    { L"MButton2", formD<MButton2> },
    { L"CImageButton2", formD<CImageButton2> },
    { L"CTabCtrl2", formC<CTabCtrl2> },
    { L"CTabCtrlEx", formC<CTabCtrlEx> },
    { L"MButton3", formG<MButton3> },
    { L"CColorButton2", formC<CColorButton2> },
    { L"CTabCtrl5", formC<CTabCtrl5> },
    { L"CColorButton3", formC<CColorButton3> },
    { L"LEDModeList", formC<LEDModeList> },
    { L"TabCtrl6", formC<TabCtrl6> },
    { L"ClockCtrl", formC<ClockCtrl> },
    { L"MSlider2", formC<MSlider2> },
    { L"CaptureCtrl", formC<CaptureCtrl> },
    { L"ClockTypeCtrl", formC<ClockTypeCtrl> },
    { L"LEDModeCtrl", formC<LEDModeCtrl> },
    { L"LEDImageCtrl", formC<LEDImageCtrl> },
    { L"CRadioButton2", formD<CRadioButton2> },
    { L"LEDImageCtrl2", formC<LEDImageCtrl2> },
    { L"LEDTypeCtrl", formC<LEDTypeCtrl> },
    { L"OpenCVViewCtrl", formC<OpenCVViewCtrl> },
    { L"GIFViewCtrl", formC<GIFViewCtrl> },
    { L"CircleProgress", formC<CircleProgress> },
    { L"CFanDevCtrl", formC<CFanDevCtrl> },
    { L"CFan2DevCtrl", formC<CFan2DevCtrl> },
    { L"Fan2TempCurve", formC<Fan2TempCurve> },
    { L"DevChannelCtrl", formC<DevChannelCtrl> },
    { L"FanCountCtrl", formC<FanCountCtrl> },
    { L"FanDeviceBox", formC<FanDeviceBox> },
    { L"MPalette", formE<MPalette> },
    { L"MPaletteBar", formE<MPaletteBar> },
    { L"CirclePalette", formC<CirclePalette> },
    { L"ThemeColor", formC<ThemeColor> },
    { L"MComboBox", formB<MComboBox> },
    { L"MLevelCtrl", formB<MLevelCtrl> },
    { L"CDeviceCtrl", formC<CDeviceCtrl> },
    { L"ArchivedCtrl", formC<ArchivedCtrl> },
    { L"LightCtrl", formC<LightCtrl> },
    { L"CHomeFuncCtrl", formC<CHomeFuncCtrl> },
    { L"LightLayer", formC<LightLayer> },
    { L"DevSelectCtrl", formC<DevSelectCtrl> },
    { L"UsageRateCtrl", formC<UsageRateCtrl> },
    { L"CHardwareInfoBkg", formC<CHardwareInfoBkg> },
    { L"CHardwareInfo", formC<CHardwareInfo> },
    { L"SysInfoCtrl", formC<SysInfoCtrl> },
    { L"SysInfo2Ctrl", formC<SysInfo2Ctrl> },
    { L"Fan2CoolMode", formC<Fan2CoolMode> },
    { L"CColorPalette", formE<CColorPalette> },
    { L"CColorSelect", formE<CColorSelect> },
    { L"MListBox", formE<MListBox> },
    { L"DListBox", formE<DListBox> },
    // Keyboard and mouse views
    { L"KeyboardCtrl", formE<KeyboardCtrl> },
    { L"KeyFuncControl", formE<KeyFuncControl> },
    { L"CRecordList", formE<CRecordList> },
    { L"DPIControl", formE<DPIControl> },
    { L"MouseKeyCtrl", formE<MouseKeyCtrl> },
    { L"MouseCtrl", formE<MouseCtrl> },
    { L"MouseLight", formE<MouseLight> },
};

template <size_t N>
Creator find(const Row (&table)[N], const wchar_t* className)
{
    for (const Row& row : table)
        if (wcscmp(row.name, className) == 0)
            return row.create;
    return nullptr;
}

} // namespace

MControl* CreateControlByClassName(ControlTable table, const wchar_t* className, MObject* parent, UINT id, CRect rect,
                                   const wchar_t* title, int a, int b)
{
    if (!className || !*className)
        return nullptr;
    const Creator create = table == ControlTable::Window ? find(kWindowTable, className) : find(kPanelTable, className);
    return create ? create({ parent, id, rect, title, a, b }) : nullptr;
}

std::vector<const wchar_t*> ControlClassNames(ControlTable table)
{
    std::vector<const wchar_t*> names;
    const auto take = [&names](const auto& rows) {
        for (const Row& row : rows)
            names.push_back(row.name);
    };
    if (table == ControlTable::Window)
        take(kWindowTable);
    else
        take(kPanelTable);
    return names;
}

} // namespace KOVA
