#include "controls/input/InputControlRows.h"

#include "controls/input/CColorPalette.h"
#include "controls/input/CComboBoxList.h"
#include "controls/input/CSpinButton.h"
#include "controls/input/CirclePalette.h"
#include "controls/input/HexColorEdit.h"
#include "controls/input/MComboBox.h"
#include "controls/input/MEdit.h"
#include "controls/input/MEditEx.h"
#include "controls/input/MListBox.h"
#include "controls/input/MPalette.h"
#include "controls/input/MPaletteBar.h"
#include "controls/input/MRichEdit.h"
#include "controls/input/RGBColorEdit.h"
#include "controls/input/ThemeColor.h"
#include "framework/ControlFactory.h"

namespace KOVA {

void AddInputControlRows(ControlRows& rows)
{
    static const ControlRow kRows[] = {
        { L"MEdit", kBothTables, form::A<MEdit> },
        { L"MRichEdit", kBothTables, form::A<MRichEdit> },
        { L"MEditEx", kBothTables, form::A<MEditEx> },
        { L"CSpinButton", kBothTables, form::B<CSpinButton> },
        { L"RGBColorEdit", kPanelTable, form::D<RGBColorEdit> },
        { L"HexColorEdit", kPanelTable, form::D<HexColorEdit> },
        { L"MPalette", kBothTables, form::E<MPalette> },
        { L"MPaletteBar", kPanelTable, form::E<MPaletteBar> },
        { L"CirclePalette", kBothTables, form::C<CirclePalette> },
        { L"ThemeColor", kPanelTable, form::C<ThemeColor> },
        { L"MComboBox", kBothTables, form::B<MComboBox> },
        { L"CColorPalette", kBothTables, form::E<CColorPalette> },
        { L"CColorSelect", kBothTables, form::E<CColorSelect> },
        { L"MListBox", kBothTables, form::E<MListBox> },
        { L"DListBox", kPanelTable, form::E<DListBox> },
        { L"CComboBoxList", kWindowTable, form::C<CComboBoxList> },
        { L"CComboBoxList2", kWindowTable, form::C<CComboBoxList2> },
    };
    rows.Add(kRows);
}

} // namespace KOVA
