#include "controls/basic/BasicControlRows.h"

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
#include "controls/basic/MPicture.h"
#include "controls/basic/MProgress.h"
#include "controls/basic/MSlider.h"
#include "controls/basic/MSpinButton.h"
#include "controls/basic/MTabCtrl.h"
#include "controls/basic/MTabLayout.h"
#include "controls/basic/MText.h"
#include "controls/basic/MenuItem.h"
#include "controls/basic/TabBar.h"
#include "framework/ControlFactory.h"

namespace KOVA {

void AddBasicControlRows(ControlRows& rows)
{
    static const ControlRow kRows[] = {
        { L"CArea", kBothTables, form::C<CArea> },
        { L"MText", kBothTables, form::F<MText> },
        { L"MPicture", kBothTables, form::B<MPicture> },
        { L"CPhotoFrame", kBothTables, form::B<CPhotoFrame> },
        { L"CSliderPicture", kBothTables, form::B<CSliderPicture> },
        { L"CGifPicture", kBothTables, form::B<CGifPicture> },
        { L"MProgress", kBothTables, form::B<MProgress> },
        { L"MSlider", kBothTables, form::B<MSlider> },
        { L"MButton", kBothTables, form::A<MButton> },
        { L"CImageButton", kBothTables, form::A<CImageButton> },
        { L"CTextButton", kBothTables, form::A<CTextButton> },
        { L"CCheckButton", kBothTables, form::A<CCheckButton> },
        { L"CRadioButton", kBothTables, form::A<CRadioButton> },
        { L"CColorButton", kBothTables, form::B<CColorButton> },
        { L"MSpinButton", kBothTables, form::B<MSpinButton> },
        { L"CSwitchButton", kBothTables, form::B<CSwitchButton> },
        { L"CIconButton", kBothTables, form::A<CIconButton> },
        { L"CTimerButton", kBothTables, form::A<CTimerButton> },
        { L"CHelpButton", kBothTables, form::A<CHelpButton> },
        { L"MTabCtrl", kBothTables, form::B<MTabCtrl> },
        { L"MTabLayout", kBothTables, form::E<MTabLayout> },
        { L"MenuItem", kBothTables, form::D<MenuItem> },
        { L"UpgradeButton", kPanelTable, form::D<UpgradeButton> },
        { L"DownloadButton", kPanelTable, form::D<DownloadButton> },
        { L"MButton2", kBothTables, form::D<MButton2> },
        { L"CImageButton2", kBothTables, form::D<CImageButton2> },
        { L"CTabCtrl2", kBothTables, form::C<CTabCtrl2> },
        { L"CTabCtrlEx", kBothTables, form::C<CTabCtrlEx> },
        { L"MButton3", kPanelTable, form::G<MButton3> },
        { L"CColorButton2", kPanelTable, form::C<CColorButton2> },
        { L"CTabCtrl5", kBothTables, form::C<CTabCtrl5> },
        { L"CColorButton3", kPanelTable, form::C<CColorButton3> },
        { L"TabCtrl6", kPanelTable, form::C<TabCtrl6> },
        { L"MSlider2", kPanelTable, form::C<MSlider2> },
        { L"CRadioButton2", kPanelTable, form::D<CRadioButton2> },
        { L"CircleProgress", kBothTables, form::C<CircleProgress> },
        { L"CGifPicture2", kWindowTable, form::C<CGifPicture2> },
    };
    rows.Add(kRows);
}

} // namespace KOVA
