// The fifteen light effects of the fan previews, their tables and colour conversions. Each
// effect steps one layer on the fast-timer thread, under the layer lock (and the list lock
// the tick took first). Nothing here allocates: the working arrays were sized from the LED
// count when the LEDs changed, and every index into them is checked, so a write that would
// land outside is dropped.
#include "devices/cooling/FanPreview.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "platform/TimeSource.h"

namespace KOVA {

namespace {

constexpr int kWheelSteps = 1530;

// 255 at 0..32, a falling ramp at 33..62, 0 at 63..128, the ramp rising at 129..158, 255 to 191.
const std::array<BYTE, 192> kWave = [] {
    const BYTE ramp[30] = { 240, 226, 212, 199, 186, 173, 161, 149, 138, 126, 116, 106, 96, 86, 78,
                            69,  61,  53,  46,  39,  33,  28,  22,  18,  13,  10,  6,   4,  2,  1 };
    std::array<BYTE, 192> wave {};
    for (int i = 0; i < 192; ++i)
        wave[static_cast<size_t>(i)] = i <= 32 || i >= 159 ? 255 : 0;
    for (int i = 0; i < 30; ++i) {
        wave[static_cast<size_t>(33 + i)] = ramp[i];
        wave[static_cast<size_t>(158 - i)] = ramp[i];
    }
    return wave;
}();

const DWORD kColorTable[49] = {
    0x0000FF, 0x003FFF, 0x007FFF, 0x00BFFF, 0x00FFFF, 0x00DFBF, 0x00BF7F, 0x009F3F, 0x008000, 0x205F00,
    0x3F3F00, 0x5F2000, 0x7F0000, 0x5F001F, 0x3F003F, 0x20005F, 0x000080, 0x20005F, 0x3F003F, 0x5F001F,
    0x7F0000, 0x5F2000, 0x3F3F00, 0x205F00, 0x008000, 0x009F3F, 0x00BF7F, 0x00DFBF, 0x00FFFF, 0x00BFFF,
    0x007FFF, 0x003FFF, 0x0000FF, 0x003FFF, 0x007FFF, 0x00BFFF, 0x00FFFF, 0x00DFBF, 0x00BF7F, 0x009F3F,
    0x008000, 0x205F00, 0x3F3F00, 0x5F2000, 0x7F0000, 0x5F001F, 0x3F003F, 0x20005F, 0x000080,
};

DWORD rgbOf(int red, int green, int blue)
{
    return static_cast<DWORD>(red) | (static_cast<DWORD>(green) << 8) | (static_cast<DWORD>(blue) << 16);
}

// A level fades a colour in (below 255), holds it (to 1280) and fades it out (to 1536).
DWORD fade(int level, DWORD color)
{
    if (level >= 255 && level <= 1280)
        return color;
    const int factor = level < 255 ? level : 1536 - level;
    return rgbOf((GetRValue(color) * factor) >> 8, (GetGValue(color) * factor) >> 8,
                 (GetBValue(color) * factor) >> 8);
}

// Every channel of color moved by the layer's per-channel steps, held within 0..255.
DWORD shifted(DWORD color, const LAYER_INFO& layer, int sign)
{
    auto move = [sign](int value, int step) { return std::clamp(value + sign * step, 0, 255); };
    return rgbOf(move(GetRValue(color), layer.phase1), move(GetGValue(color), layer.phase2),
                 move(GetBValue(color), layer.phase3));
}

template <class T>
void put(std::vector<T>& values, int index, T value)
{
    if (index >= 0 && index < static_cast<int>(values.size()))
        values[static_cast<size_t>(index)] = value;
}

template <class T>
T at(const std::vector<T>& values, int index)
{
    return index >= 0 && index < static_cast<int>(values.size()) ? values[static_cast<size_t>(index)] : T {};
}

int wheelStep(int count)
{
    return (kWheelSteps / std::max(count, 1)) * 2;
}

// RainbowChannel's and RainbowWheel's turn of the wheel position.
void turnWheel(LAYER_INFO& layer, int increment)
{
    if (layer.direction == 1) {
        layer.counter -= increment;
        if (layer.counter < 0)
            layer.counter = kWheelSteps;
    } else {
        layer.counter += increment;
        if (layer.counter > kWheelSteps - 1)
            layer.counter = 0;
    }
}

} // namespace

DWORD FanPreview::ColorWheelToRGB(int position)
{
    const int p = (position % kWheelSteps + kWheelSteps) % kWheelSteps;
    if (p <= 255)
        return rgbOf(255, p, 0);
    if (p <= 510)
        return rgbOf(510 - p, 255, 0);
    if (p <= 765)
        return rgbOf(0, 255, p - 511);
    if (p <= 1020)
        return rgbOf(0, 1020 - p, 255);
    if (p <= 1275)
        return rgbOf(p - 1021, 0, 255);
    return rgbOf(255, 0, 1530 - p);
}

DWORD FanPreview::HSVToRGB(int hue, BYTE saturation, BYTE value)
{
    if (saturation == 0)
        return rgbOf(value, value, value);
    const int h = hue % 360;
    const int sector = h / 60;
    const int p = ((256 - saturation) * value) >> 8;
    const int t = (((h - 60 * (sector + 1)) * saturation + 15360) * value) / 15360;
    const int q = (((60 * sector - h) * saturation + 15360) * value) / 15360;
    switch (sector) {
    case 0: return rgbOf(value, t, p);
    case 1: return rgbOf(q, value, p);
    case 2: return rgbOf(p, value, t);
    case 3: return rgbOf(p, q, value);
    case 4: return rgbOf(t, p, value);
    default: return rgbOf(value, p, q);
    }
}

DWORD FanPreview::randomColor() const
{
    const int blue = std::rand() % 255;
    const int green = std::rand() % 255;
    const int red = std::rand() % 255;
    return rgbOf(red, green, blue);
}

void FanPreview::alternate(LAYER_INFO& layer)
{
    if (layer.toggle == 1) {
        layer.curColor = layer.color1;
        layer.toggle = 0;
    } else {
        layer.curColor = layer.color2;
        layer.toggle = 1;
    }
}

// The j-th selected copy takes m_out[j]; unselected copies keep their colour, or go dark.
void FanPreview::giveOut(LAYER_INFO& layer, bool blankUnselected)
{
    int next = 0;
    for (FAN_LED_INFO& copy : layer.leds) {
        if (copy.selected)
            copy.color = at(*m_out, next++);
        else if (blankUnselected)
            copy.color = 0;
    }
}

void FanPreview::SetFanLightColor(LAYER_INFO* layer)
{
    for (FAN_LED_INFO& copy : layer->leds)
        copy.color = layer->curColor;
}

void FanPreview::UpdateTemperatureEffect(LAYER_INFO* layer)
{
    if (layer->ledCount <= 0)
        return;
    const int sensor = layer->colorful == 2 ? 1 : layer->colorful == 3 ? 2 : 0;
    const int t = m_temperatures[sensor];
    // The lower threshold itself belongs to the middle band.
    if (t < layer->speed)
        layer->curColor = static_cast<DWORD>(layer->tableIndex);
    else if (t < layer->direction)
        layer->curColor = layer->color1;
    else
        layer->curColor = layer->color2;
    SetFanLightColor(layer);
}

void FanPreview::UpdateDreamSpectrumEffect(LAYER_INFO* layer)
{
    if (layer->ledCount <= 0)
        return;
    layer->counter = layer->counter + 1 > 359 ? 0 : layer->counter + 1;
    for (FAN_LED_INFO& copy : layer->leds) {
        if (!copy.selected || copy.ledNumber < 0 || copy.ledNumber >= m_kind->ledsPerFan)
            continue;
        const POINT grid = m_kind->dreamPoints[copy.ledNumber];
        const double angle = std::atan2(static_cast<double>(grid.y - 3), static_cast<double>(grid.x - 2));
        const int base = static_cast<int>(angle * 57.295827908797776 + 180) % 360;
        const int hue = static_cast<int>(static_cast<float>(base) + static_cast<float>(layer->counter));
        copy.color = HSVToRGB(hue, 255, 138);
    }
}

void FanPreview::UpdateRainbowEffect(LAYER_INFO* layer)
{
    if (layer->ledCount <= 0)
        return;
    for (int* phase : { &layer->phase1, &layer->phase2, &layer->phase3 })
        *phase = *phase + 1 > 191 ? 0 : *phase + 1;
    auto wave = [](int phase) { return kWave[static_cast<size_t>(std::clamp(phase, 0, 191))]; };
    layer->curColor = rgbOf(wave(layer->phase1), wave(layer->phase2), wave(layer->phase3));
    SetFanLightColor(layer);
}

void FanPreview::UpdateRainbowWaveEffect(LAYER_INFO* layer)
{
    const int n = layer->ledCount;
    if (n <= 0)
        return;
    auto& levels = *m_levels;
    auto& hues = *m_hues;
    int pos = layer->counter;
    const int step = wheelStep(n);
    for (size_t i = 0; i < layer->leds.size(); ++i, pos += step) {
        put(hues, static_cast<int>(i), ColorWheelToRGB(pos));
        if (i < levels.size() && levels[i] != 0) {
            levels[i] += n;
            if (levels[i] >= 1536)
                levels[i] = 0;
        }
    }
    if (layer->toggle == 0) {
        put(levels, layer->counter, 1);
        layer->counter += 1;
        if (layer->counter >= n + 24 || layer->curColor == 0) {
            layer->counter = 0;
            layer->curColor = layer->colorful ? randomColor() : layer->color1;
        }
    }
    for (int i = 0; i < n; ++i) {
        const DWORD color = layer->colorful ? at(hues, i) : layer->curColor;
        put(*m_out, i, fade(at(levels, layer->direction != 0 ? i : n - i), color));
    }
    giveOut(*layer, true);
}

void FanPreview::UpdateRainbowChannelEffect(LAYER_INFO* layer)
{
    const int n = layer->ledCount;
    if (n <= 0)
        return;
    int pos = layer->counter;
    const int step = wheelStep(n);
    for (FAN_LED_INFO& copy : layer->leds) {
        if (!copy.selected)
            continue;
        copy.color = ColorWheelToRGB(pos);
        pos += step;
    }
    turnWheel(*layer, std::max(1, 18 - layer->speed));
}

void FanPreview::UpdateFrequencyFlashesEffect(LAYER_INFO* layer)
{
    if (layer->ledCount <= 0)
        return;
    const int size = m_kind->colorTableSize;
    const DWORD tableColor = kColorTable[(layer->tableIndex % size + size) % size];
    layer->curColor = 0;
    if (layer->counter == 0)
        layer->curColor = layer->colorful ? tableColor : layer->color1;
    else if (layer->counter == 2)
        layer->curColor = layer->colorful ? tableColor : layer->color2;
    SetFanLightColor(layer);
    layer->counter = (layer->counter + 1) % 4;
    layer->tableIndex = ((layer->tableIndex + 1) % size + size) % size;
}

void FanPreview::UpdateMarqueeEffect(LAYER_INFO* layer)
{
    if (layer->ledCount <= 0)
        return;
    const int ring = m_kind->ledsPerFan;
    const int lit = ((layer->counter % ring) + ring) % ring;
    for (FAN_LED_INFO& copy : layer->leds) {
        if (!copy.selected)
            continue;
        // Every second ring place from the counter on is lit.
        const int distance = ((copy.ringPos - lit) % ring + ring) % ring;
        copy.color = distance % 2 == 0 ? layer->color1 : 0;
    }
    layer->counter = layer->direction == 1 ? (lit + ring - 1) % ring : (lit + 1) % ring;
}

void FanPreview::UpdateInfiniteEffect(LAYER_INFO* layer)
{
    const int n = layer->ledCount;
    if (n <= 0)
        return;
    auto& levels = *m_levels;
    auto& hues = *m_hues;
    auto& out = *m_out;
    int pos = layer->counter;
    const int step = wheelStep(n);
    int k = 0;
    for (const FAN_LED_INFO& copy : layer->leds) {
        if (!copy.selected)
            continue;
        put(hues, k, ColorWheelToRGB(pos));
        put(out, k, copy.color);
        pos += step;
        ++k;
    }
    for (int i = 0; i < n && i < static_cast<int>(levels.size()); ++i) {
        int& level = levels[static_cast<size_t>(i)];
        if (level != 0) {
            level += 160;
            if (level > 1535)
                level = 0;
        }
    }
    if (layer->toggle == 0) {
        put(levels, layer->counter, 1);
        layer->counter += 1;
        if (layer->counter >= n || layer->curColor == 0) {
            layer->counter = 0;
            layer->curColor = layer->colorful ? randomColor() : layer->color1;
        }
    }
    for (int i = 0; i < n; ++i) {
        const int target = i < m_kind->infinitePathLength ? m_kind->infinitePath[i] : 0;
        // The path is drawn for ten fans; places past the LEDs there are are not shown.
        if (target >= n)
            continue;
        put(out, target, fade(at(levels, i), layer->colorful ? at(hues, i) : layer->curColor));
    }
    giveOut(*layer, true);
}

void FanPreview::UpdateSunnyEffect(LAYER_INFO* layer)
{
    const int n = layer->ledCount;
    if (n <= 0)
        return;
    auto& out = *m_out;
    auto& wheel = *m_hues;
    int k = 0;
    for (const FAN_LED_INFO& copy : layer->leds)
        if (copy.selected)
            put(out, k++, copy.color);
    int pos = layer->counter;
    const int step = wheelStep(n);
    for (size_t i = 0; i < layer->leds.size(); ++i, pos += step)
        put(wheel, static_cast<int>(i), ColorWheelToRGB(pos));
    const int p = layer->counter;
    if (p >= 0 && p < n)
        put(out, p, layer->colorful ? at(wheel, p) : layer->curColor);
    const int directionBefore = layer->direction;
    auto clearOut = [&out] { std::fill(out.begin(), out.end(), 0); };
    if (layer->direction == 1) {
        layer->counter = p + 1;
        if (layer->counter == n + 2) {
            layer->direction = 0;
            layer->counter = n - 1;
            clearOut();
        }
        if (layer->counter > 4) {
            put(out, layer->counter - 5, DWORD { 0 });
            put(out, layer->counter - 4, DWORD { 0 });
        }
    } else {
        layer->counter = p - 1;
        if (m_kind->sunnyTurnsAtZero ? layer->counter <= 0 : layer->counter < -2) {
            layer->direction = 1;
            if (!m_kind->sunnyTurnsAtZero)
                layer->counter = 0;
            clearOut();
        }
        if (layer->counter < (m_kind->sunnyTurnsAtZero ? n - 4 : n - 1)) {
            put(out, layer->counter + 4, DWORD { 0 });
            put(out, layer->counter + 5, DWORD { 0 });
        }
    }
    giveOut(*layer, true);
    if (layer->curColor != 0 && layer->direction == directionBefore)
        return;
    if (!layer->colorful)
        alternate(*layer);
    else if (layer->counter >= 0 && layer->counter < n)
        layer->curColor = at(wheel, layer->counter);
}

void FanPreview::UpdateColorWheelEffect(LAYER_INFO* layer)
{
    const int n = layer->ledCount;
    if (n <= 0)
        return;
    int pos = layer->counter;
    const int step = kWheelSteps / n;
    for (FAN_LED_INFO& copy : layer->leds) {
        copy.color = 0;
        if (!copy.selected)
            continue;
        copy.color = ColorWheelToRGB(pos);
        pos += step;
    }
    turnWheel(*layer, std::max(1, 18 - layer->speed));
}

void FanPreview::UpdateBreathEffect(LAYER_INFO* layer)
{
    if (layer->ledCount <= 0)
        return;
    layer->phase1 = GetRValue(layer->color1) / 20;
    layer->phase2 = GetGValue(layer->color1) / 20;
    layer->phase3 = GetBValue(layer->color1) / 20;
    if (layer->toggle == 1) {
        layer->counter -= 1;
        if (layer->counter < 0) {
            layer->toggle = 0;
            if (layer->colorful)
                layer->color1 = randomColor();
        }
        layer->curColor = shifted(layer->curColor, *layer, -1);
    } else {
        layer->counter += 1;
        if (layer->counter > 19)
            layer->toggle = 1;
        layer->curColor = shifted(layer->curColor, *layer, 1);
    }
    SetFanLightColor(layer);
}

void FanPreview::UpdateRainbowWheelEffect(LAYER_INFO* layer)
{
    if (layer->ledCount <= 0)
        return;
    for (FAN_LED_INFO& copy : layer->leds)
        if (copy.selected)
            copy.color = ColorWheelToRGB(layer->counter + copy.ledNumber * m_kind->wheelSpacing);
    turnWheel(*layer, std::max(1, 30 - layer->speed));
}

void FanPreview::UpdateColorConvectionEffect(LAYER_INFO* layer)
{
    const int n = layer->ledCount;
    if (n <= 0)
        return;
    auto& out = *m_out;
    int k = 0;
    for (const FAN_LED_INFO& copy : layer->leds)
        if (copy.selected)
            put(out, k++, copy.color);
    layer->counter += 1;
    if (layer->counter < n && layer->curColor != 0) {
        put(out, layer->counter, layer->curColor);
    } else {
        layer->counter = 0;
        if (layer->colorful)
            layer->curColor = randomColor();
        else
            alternate(*layer);
        put(out, 0, layer->curColor);
    }
    giveOut(*layer, true);
}

void FanPreview::UpdateCustom1lEffect(LAYER_INFO* layer)
{
    if (layer->ledCount <= 0)
        return;
    const int last = m_kind->custom1lLast;
    bool restart = false;
    if (layer->direction == 1) {
        layer->counter += 1;
        restart = layer->counter > last || layer->curColor == 0;
        if (restart)
            layer->counter = 0;
    } else {
        layer->counter -= 1;
        restart = layer->counter < 0 || layer->curColor == 0;
        if (restart)
            layer->counter = last;
    }
    if (restart)
        layer->curColor = layer->colorful ? randomColor() : layer->color1;
    const int ring = m_kind->ledsPerFan;
    const int lit = layer->counter;
    const int mirror = ((m_kind->custom1lMirror - lit) % ring + ring) % ring;
    const bool dark = lit > m_kind->custom1lLitUpTo;
    for (FAN_LED_INFO& copy : layer->leds)
        if (copy.selected)
            copy.color = !dark && (copy.ledNumber == lit || copy.ledNumber == mirror) ? layer->curColor : 0;
}

void FanPreview::UpdateStaticEffect(LAYER_INFO* layer)
{
    if (layer->ledCount <= 0)
        return;
    for (FAN_LED_INFO& copy : layer->leds)
        copy.color = layer->color1;
}

void FanPreview::UpdateFrequencyFlashesEffect()
{
    // One phase for every preview, as the fans of one controller flash together.
    static std::atomic<DWORD> changedAt { 0 };
    static std::atomic<bool> started { false };
    static std::atomic<bool> blue { false };
    const DWORD now = TimeSource::Milliseconds();
    if (!started.exchange(true))
        changedAt = now;
    else if (now - changedAt.load() <= 499)
        return;
    changedAt = now;
    const DWORD color = blue ? 0xFF0000 : 0x0000FF;
    blue = !blue;
    ScopedLock lock(m_listLock);
    for (FAN_LED_INFO* led : *m_leds)
        led->color = color;
}

} // namespace KOVA
