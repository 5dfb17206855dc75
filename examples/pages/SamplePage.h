#pragma once
// One page of the sample host: the controls of one family, built inside a panel that the
// host shows when the page is chosen. Headless, the host paints each page in turn, saves
// out/pages/NAME.png, then lets the page write whatever else it shows (LCD frames).
#include "KOVA.h"

#include <string>

// The geometry classes live in the global namespace; pages may name them either way.
namespace KOVA {
using ::CRect;
}

struct SamplePage {
    // File name of the page's screenshot and the caption of its switch.
    const wchar_t* name;
    // Creates the page's controls inside the page panel (absolute client coordinates within area).
    void (*build)(KOVA::MPanel* page, const KOVA::CRect& area);
    // May be null. Runs headless after the page was shown and painted; writes files into outDir.
    void (*writeOutputs)(KOVA::MPanel* page, const std::wstring& outDir);
    // May be null. Hears what the page's controls report to the window (control id, code)
    // while the page is shown.
    void (*notified)(KOVA::MDialog& dialog, UINT id, UINT code);
};
