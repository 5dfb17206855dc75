#pragma once
// The records the fan LED previews share with their host: a fan, one LED of its ring, and a
// light layer. The previews own every record; the host reads fans through the pointers the
// previews hand out and never frees them.
#include "platform/Win32.h"

#include <vector>

#include "platform/KovaExport.h"

namespace KOVA {

// One LED of a fan ring; also a light layer's per-LED copy.
struct KOVA_API FAN_LED_INFO {
    int id { 0 };
    int fanIndex { 0 };
    int channel { 0 };
    int fanInChannel { 0 };
    int ledNumber { 0 };
    // (LED number + offset) mod LEDs per fan: where the dot is drawn and where its bytes go.
    int ringPos { 0 };
    int offset { 0 };
    bool selected { true };
    DWORD color { 0 }; // 0x00BBGGRR
    RECT rect {};      // the dot, control-local
};

// One fan of a preview.
struct KOVA_API FAN_INFO {
    int type { 0 };
    int index { 0 };
    int channel { 0 };
    int fanInChannel { 0 };
    int column { 0 };
    int row { 0 }; // 0 = bottom row
    int ledOffset { 0 };
    int direction { 0 }; // 0 forward, 1 reverse (the 18-LED preview only)
    RECT rect {};        // the fan's square cell, control-local
    bool flag { true };  // inverted by each click on the fan
    // In LED-number order; the records belong to the preview.
    std::vector<FAN_LED_INFO*> leds;
};

// One light layer of a preview.
struct KOVA_API LAYER_INFO {
    DWORD device { 0 }; // 0 all fans, n the fan of list index n - 1; 4096 and above never steps
    int mode { 0 };
    DWORD curColor { 0 };
    DWORD color1 { 0 };
    DWORD color2 { 0 };
    unsigned long long lastStep { 0 };
    bool show { false };
    int brightness { 16 };
    int speed { 16 };     // 17 - the host's speed; the lower threshold of the temperature effect
    int direction { 2 };  // the upper threshold of the temperature effect
    int phase1 { 0 };
    int phase2 { 64 };
    int phase3 { 128 };
    int tableIndex { 0 }; // the low colour of the temperature effect
    int colorful { 0 };   // the sensor choice of the temperature effect
    int toggle { 0 };
    int counter { 0 };
    int ledCount { 0 };
    // One copy per LED of the preview, in the preview's LED order.
    std::vector<FAN_LED_INFO> leds;
};

} // namespace KOVA
