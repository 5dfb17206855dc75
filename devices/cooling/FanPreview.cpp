// Fans, LEDs, layers, the tick and the colour buffer of both fan previews.
//
// Lock order: the list lock, then the layer lock, then the buffer lock (a leaf). The tick takes
// them in that order; GUI-thread members that change what the tick reads take the same ones.
// A repaint request or a notification is made with all of them let go.
#include "devices/cooling/FanPreview.h"

#include <algorithm>
#include <cstring>

#include "framework/AppPaths.h"
#include "framework/MRender.h"
#include "framework/Manager.h"
#include "framework/PaintManager.h"
#include "platform/TimeSource.h"

namespace KOVA {

namespace {
constexpr DWORD kNeverStepsFrom = 4096;
// The tick asks for at most one repaint in this many milliseconds (plus one).
constexpr unsigned long long kRepaintGap = 33;
// Working arrays reach this far past the LED count (RainbowWave's levels run to n + 23).
constexpr size_t kLevelsPastCount = 25;
// Cells and places are kept within this many pixels of the control: far enough that a fan there
// is never drawn, near enough that a cell's far edge and its dots still fit an int.
constexpr long long kFarthest = 1 << 24;

int placed(long long pixels)
{
    return static_cast<int>(std::clamp(pixels, -kFarthest, kFarthest));
}
} // namespace

FanPreview::FanPreview(MObject* parent, UINT id, CRect rect, int visible, int enabled, const FanPreviewKind& kind)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
    , m_kind(&kind)
{
    m_run = 1;
}

FanPreview::~FanPreview()
{
    // A tick in progress would run on a half-destroyed preview.
    StopFastTimer();
}

int FanPreview::SetFan2Image(const wchar_t* file)
{
    Gdiplus::Image* image = file ? MRender::LoadImageFromFile(GetSkinPath() + file) : nullptr;
    if (!image)
        return 0;
    ScopedLock lock(m_listLock);
    m_fanImage->reset(image);
    m_fanImageWidth = static_cast<int>(image->GetWidth());
    m_fanImageHeight = static_cast<int>(image->GetHeight());
    StillChanged();
    return 1;
}

void FanPreview::EnterCS()
{
    m_listLock.Enter();
    m_layerLock.Enter();
}

void FanPreview::LeaveCS()
{
    m_listLock.Leave();
    m_layerLock.Leave();
}

// ---- fans and LEDs

int FanPreview::GetFanAngle(int a, int b) const
{
    const int leds = m_kind->ledsPerFan;
    return ((a + b) % leds + leds) % leds;
}

void FanPreview::AddFanRecord(int type, int channel, int fanInChannel, int column, int row, int ledOffset,
                              int direction)
{
    ScopedLock list(m_listLock);
    ScopedLock layers(m_layerLock);
    auto fan = std::make_unique<FAN_INFO>();
    fan->type = type;
    fan->index = static_cast<int>(m_fans->size());
    fan->channel = channel;
    fan->fanInChannel = fanInChannel;
    fan->column = column;
    fan->row = row;
    fan->ledOffset = GetFanAngle(ledOffset, 0);
    fan->direction = direction;
    m_maxColumn = std::max(m_maxColumn, column);
    m_maxRow = std::max(m_maxRow, row);
    for (int n = 0; n < m_kind->ledsPerFan; ++n) {
        auto led = std::make_unique<FAN_LED_INFO>();
        led->id = m_ledCounter++;
        led->fanIndex = fan->index;
        led->channel = channel;
        led->fanInChannel = fanInChannel;
        led->ledNumber = n;
        led->offset = fan->ledOffset;
        led->ringPos = GetFanAngle(n, fan->ledOffset);
        fan->leds.push_back(led.get());
        m_leds->push_back(led.get());
        m_ledStore->push_back(std::move(led));
    }
    m_fans->push_back(std::move(fan));
    m_fanCount->store(static_cast<int>(m_fans->size()));
    sizeWorkingArrays();
}

void FanPreview::SetFanOffset(FAN_INFO& fan, int offset)
{
    fan.ledOffset = GetFanAngle(offset, 0);
    for (FAN_LED_INFO* led : fan.leds) {
        led->offset = fan.ledOffset;
        led->ringPos = GetFanAngle(led->ledNumber, fan.ledOffset);
    }
}

void FanPreview::sizeWorkingArrays()
{
    const size_t count = m_leds->size();
    m_levels->resize(count + kLevelsPastCount, 0);
    m_hues->resize(count + kLevelsPastCount, 0);
    m_out->resize(count + kLevelsPastCount, 0);
}

int FanPreview::Scaled(int native, double zoom)
{
    return static_cast<int>(static_cast<int>(native * Manager::GetScaleValue()) * zoom);
}

void FanPreview::RefreshLedItemRect()
{
    ScopedLock lock(m_listLock);
    if (m_fans->empty())
        return;
    const float s = Manager::GetScaleValue();
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    // In 64 bits: a host may place a fan in any column and row an int holds.
    const long long cols = static_cast<long long>(m_maxColumn) + 1;
    const long long rows = static_cast<long long>(m_maxRow) + 1;
    const int gap = static_cast<int>(10 * s);
    const int native = std::max(1, static_cast<int>(m_kind->nativeCell * s));
    const int strip = static_cast<int>(36 * s);
    long long cell = native;
    if (rows > 1)
        cell = std::min((width - gap * (cols - 1)) / cols, (height - strip - gap * (rows - 1)) / rows);
    else if (cols * native + gap * (cols - 1) > width)
        cell = (width - gap * (cols - 1)) / cols;
    // More columns than the width holds leave cells of no size, drawn nowhere.
    cell = std::clamp<long long>(cell, 0, kFarthest);
    m_zoom = static_cast<double>(cell) / native;
    const long long left = (width - gap * (cols - 1) - cols * cell) / 2;
    const long long top = (height - strip - gap * (rows - 1) - rows * cell) / 2;
    for (auto& fan : *m_fans) {
        const int x = placed(left + fan->column * (cell + gap));
        const int y = placed(top + (rows - 1 - fan->row) * (cell + gap));
        fan->rect = CRect(x, y, x + static_cast<int>(cell), y + static_cast<int>(cell));
        for (FAN_LED_INFO* led : fan->leds) {
            CRect dot(led->rect);
            GetLEDItemRect(fan->type, led->ringPos, x, y, m_zoom, dot);
            led->rect = dot;
        }
    }
    PlaceButtons(static_cast<int>(cell), m_zoom);
    m_selectedFan = 0;
    StillChanged();
}

void FanPreview::RefreshLedPosistion()
{
    ScopedLock list(m_listLock);
    ScopedLock layers(m_layerLock);
    m_leds->clear();
    for (auto& fan : *m_fans) {
        const CRect cell(fan->rect);
        for (int ring = 0; ring < m_kind->ledsPerFan; ++ring) {
            const auto found = std::find_if(fan->leds.begin(), fan->leds.end(),
                                            [ring](const FAN_LED_INFO* led) { return led->ringPos == ring; });
            if (found == fan->leds.end())
                continue;
            CRect dot((*found)->rect);
            GetLEDItemRect(fan->type, ring, cell.left, cell.top, m_zoom, dot);
            (*found)->rect = dot;
            m_leds->push_back(*found);
        }
    }
    RefreshLayerLed();
}

void FanPreview::resetCopies(LAYER_INFO& layer, bool keepSelection)
{
    layer.leds.clear();
    layer.leds.reserve(m_leds->size());
    for (const FAN_LED_INFO* led : *m_leds) {
        FAN_LED_INFO copy = *led;
        copy.selected = keepSelection ? led->selected : true;
        copy.color = 0;
        layer.leds.push_back(copy);
    }
    layer.ledCount = static_cast<int>(layer.leds.size());
}

void FanPreview::RefreshLayerLed()
{
    ScopedLock list(m_listLock);
    ScopedLock layers(m_layerLock);
    if (m_layers->empty())
        return;
    const LAYER_INFO& first = *m_layers->front();
    const size_t shared = std::min(first.leds.size(), m_leds->size());
    for (size_t i = 0; i < shared; ++i)
        (*m_leds)[i]->selected = first.leds[i].selected;
    for (auto& layer : *m_layers)
        resetCopies(*layer, true);
}

void FanPreview::ClearList()
{
    {
        ScopedLock list(m_listLock);
        ScopedLock layers(m_layerLock);
        m_ledCounter = 0;
        m_maxColumn = 0;
        m_maxRow = 0;
        m_hoverFan = -1;
        m_selectedFan = 0;
        m_leds->clear();
        m_fans->clear();
        m_ledStore->clear();
        m_fanCount->store(0);
        for (auto& layer : *m_layers)
            layer->leds.clear();
        StillChanged();
    }
    repaint();
}

FAN_INFO* FanPreview::GetFanInfo(int index)
{
    ScopedLock lock(m_listLock);
    return index >= 0 && index < static_cast<int>(m_fans->size()) ? (*m_fans)[static_cast<size_t>(index)].get()
                                                                   : nullptr;
}

std::vector<FAN_INFO*> FanPreview::GetFanItems()
{
    ScopedLock lock(m_listLock);
    std::vector<FAN_INFO*> fans;
    for (auto& fan : *m_fans)
        fans.push_back(fan.get());
    return fans;
}

int FanPreview::GetFanDevCount()
{
    return m_fanCount->load();
}

void FanPreview::SetMonoSyncMode(int mode)
{
    {
        // Both locks wait out a tick in progress, and the tick reads the run flag under the
        // list lock: once they are held no tick is recolouring, and none after them will while
        // the flag is off. No sleep is needed for that on the host's thread.
        ScopedLock list(m_listLock);
        ScopedLock layers(m_layerLock);
        m_run = mode == 0 ? 1 : 0;
        for (FAN_LED_INFO* led : *m_leds)
            led->color = 0;
    }
    repaint();
}

void FanPreview::SetAllFanColor(DWORD color)
{
    ScopedLock lock(m_listLock);
    for (FAN_LED_INFO* led : *m_leds)
        led->color = color;
}

void FanPreview::CopyBlock(int block, unsigned char* out)
{
    if (!out || block < 0 || block >= m_kind->slotCount || m_fanCount->load() == 0)
        return;
    const size_t size = static_cast<size_t>(m_kind->slotBytes);
    ScopedLock lock(m_bufferLock);
    std::memcpy(out, m_published.data() + static_cast<size_t>(block) * size, size);
}

// ---- layers

bool FanPreview::layerAt(int layer) const
{
    return layer >= 0 && layer < static_cast<int>(m_layers->size());
}

void FanPreview::clearLayerColors(LAYER_INFO& layer)
{
    for (FAN_LED_INFO& copy : layer.leds)
        copy.color = 0;
}

void FanPreview::AddLightLayer(DWORD device, int mode, int brightness, int speed, int direction, int, DWORD color1,
                               DWORD color2, bool show)
{
    ScopedLock list(m_listLock);
    ScopedLock layers(m_layerLock);
    auto layer = std::make_unique<LAYER_INFO>();
    layer->device = device;
    layer->mode = mode;
    layer->brightness = brightness;
    layer->speed = 17 - speed;
    layer->direction = direction;
    layer->curColor = color1;
    layer->color1 = color1;
    layer->color2 = color2;
    layer->show = show;
    resetCopies(*layer, false);
    m_layers->push_back(std::move(layer));
}

void FanPreview::ClearLightLayer()
{
    ScopedLock list(m_listLock);
    ScopedLock layers(m_layerLock);
    m_layers->clear();
}

int FanPreview::DeleteItem(int layer)
{
    {
        ScopedLock lock(m_layerLock);
        if (!layerAt(layer))
            return 0;
        m_layers->erase(m_layers->begin() + layer);
    }
    repaint();
    return 1;
}

void FanPreview::UpdateLightLayerDevice()
{
    ScopedLock list(m_listLock);
    ScopedLock layers(m_layerLock);
    for (auto& layer : *m_layers) {
        for (FAN_LED_INFO& copy : layer->leds)
            copy.selected = true;
        layer->ledCount = static_cast<int>(layer->leds.size());
    }
}

void FanPreview::SetLightMode(int index, int mode)
{
    ScopedLock list(m_listLock);
    ScopedLock layers(m_layerLock);
    if (!layerAt(index))
        return;
    LAYER_INFO& layer = *(*m_layers)[static_cast<size_t>(index)];
    layer.mode = mode;
    layer.curColor = 0;
    layer.counter = 0;
    layer.toggle = 0;
    layer.direction = 1;
    layer.tableIndex = 0;
    clearLayerColors(layer);
    if (mode == 20)
        layer.color1 = randomColor();
    if (mode == 11) {
        layer.phase1 = 0;
        layer.phase2 = 64;
        layer.phase3 = 128;
    }
    std::fill(m_levels->begin(), m_levels->end(), 0);
    for (FAN_LED_INFO* led : *m_leds)
        led->color = 0;
}

void FanPreview::SetSelectDev(int index, DWORD device, int check)
{
    ScopedLock lock(m_layerLock);
    if (!layerAt(index))
        return;
    LAYER_INFO& layer = *(*m_layers)[static_cast<size_t>(index)];
    layer.device = device;
    int selected = 0;
    for (FAN_LED_INFO& copy : layer.leds) {
        if (device == 0 || copy.fanIndex == static_cast<int>(device) - 1)
            copy.selected = check != 0;
        selected += copy.selected ? 1 : 0;
    }
    layer.ledCount = device == 0 ? std::max(selected, static_cast<int>(layer.leds.size())) : selected;
}

void FanPreview::SetShowState(int index, bool show)
{
    ScopedLock lock(m_layerLock);
    if (layerAt(index))
        (*m_layers)[static_cast<size_t>(index)]->show = show;
}

void FanPreview::SetBrightness(int index, int value)
{
    ScopedLock lock(m_layerLock);
    if (layerAt(index))
        (*m_layers)[static_cast<size_t>(index)]->brightness = value;
}

void FanPreview::SetSpeed(int index, int speed)
{
    ScopedLock lock(m_layerLock);
    if (layerAt(index))
        (*m_layers)[static_cast<size_t>(index)]->speed = 17 - speed;
}

void FanPreview::SetDirection(int index, int direction)
{
    ScopedLock lock(m_layerLock);
    if (!layerAt(index))
        return;
    LAYER_INFO& layer = *(*m_layers)[static_cast<size_t>(index)];
    layer.direction = direction;
    layer.curColor = 0;
    layer.counter = 0;
    layer.toggle = 0;
    clearLayerColors(layer);
}

void FanPreview::SetColor(int index, DWORD color1, DWORD color2)
{
    ScopedLock lock(m_layerLock);
    if (!layerAt(index))
        return;
    LAYER_INFO& layer = *(*m_layers)[static_cast<size_t>(index)];
    layer.color1 = color1;
    layer.color2 = color2;
    if (layer.mode == 18) {
        layer.curColor = layer.toggle == 1 ? color1 : color2;
    } else if (layer.mode == 17 || layer.mode == 12) {
        layer.curColor = color1;
    } else {
        layer.curColor = 0;
        layer.counter = 0;
        layer.toggle = 0;
        clearLayerColors(layer);
    }
}

void FanPreview::SetColorFul(int index, int flag)
{
    ScopedLock lock(m_layerLock);
    if (!layerAt(index))
        return;
    LAYER_INFO& layer = *(*m_layers)[static_cast<size_t>(index)];
    layer.colorful = flag;
    if (layer.mode == 18 || layer.mode == 17 || layer.mode == 12)
        return;
    layer.curColor = 0;
    layer.counter = 0;
    layer.toggle = 0;
    if (flag == 1 && layer.mode == 20)
        layer.color1 = randomColor();
}

void FanPreview::SetSensorDeviceType(int index, int type)
{
    ScopedLock lock(m_layerLock);
    if (layerAt(index))
        (*m_layers)[static_cast<size_t>(index)]->colorful = type;
}

void FanPreview::SetSensorTemperatureValue(int index, int brightness, int low, int high)
{
    ScopedLock lock(m_layerLock);
    if (!layerAt(index))
        return;
    LAYER_INFO& layer = *(*m_layers)[static_cast<size_t>(index)];
    layer.brightness = brightness;
    layer.speed = low;
    layer.direction = high;
}

void FanPreview::SetSensorTemperatureColor(int index, int lowColor, int midColor, int highColor)
{
    ScopedLock lock(m_layerLock);
    if (!layerAt(index))
        return;
    LAYER_INFO& layer = *(*m_layers)[static_cast<size_t>(index)];
    layer.tableIndex = lowColor;
    layer.color1 = static_cast<DWORD>(midColor);
    layer.color2 = static_cast<DWORD>(highColor);
}

void FanPreview::SetFanLightEffect(int mode, DWORD* colors)
{
    ScopedLock lock(m_layerLock);
    for (auto& layer : *m_layers)
        if (layer->mode == mode) {
            SetFanLightEffect(mode, colors, static_cast<int>(layer->leds.size()));
            return;
        }
}

void FanPreview::SetFanLightEffect(int mode, const DWORD* colors, int count)
{
    if (!colors || count < 1)
        return;
    ScopedLock lock(m_layerLock);
    for (auto& layer : *m_layers) {
        if (layer->mode != mode)
            continue;
        const size_t shared = std::min(layer->leds.size(), static_cast<size_t>(count));
        for (size_t i = 0; i < shared; ++i)
            if (layer->leds[i].selected)
                layer->leds[i].color = colors[i];
        return;
    }
}

void FanPreview::SetDevTemperature(int t1, int t2, int t3)
{
    ScopedLock lock(m_layerLock);
    m_temperatures[0] = t1;
    m_temperatures[1] = t2;
    m_temperatures[2] = t3;
}

unsigned long long FanPreview::GetCurMillSeconds()
{
    return TimeSource::Milliseconds();
}

// ---- the tick

const FanPreview::ModeStep* FanPreview::stepOf(int mode)
{
    static const ModeStep kSteps[] = {
        { 3, 0, 1000, &FanPreview::UpdateTemperatureEffect },
        { 10, 9, 0, &FanPreview::UpdateDreamSpectrumEffect },
        { 11, 10, 0, &FanPreview::UpdateRainbowEffect },
        { 12, 9, 0, &FanPreview::UpdateRainbowWaveEffect },
        { 14, 0, 0, &FanPreview::UpdateRainbowChannelEffect },
        { 15, 100, 0, &FanPreview::UpdateFrequencyFlashesEffect },
        { 16, 100, 0, &FanPreview::UpdateMarqueeEffect },
        { 17, 9, 0, &FanPreview::UpdateInfiniteEffect },
        { 18, 20, 0, &FanPreview::UpdateSunnyEffect },
        { 19, 1, 0, &FanPreview::UpdateColorWheelEffect },
        { 20, 5, 0, &FanPreview::UpdateBreathEffect },
        { 21, 1, 0, &FanPreview::UpdateRainbowWheelEffect },
        { 22, 1, 0, &FanPreview::UpdateColorConvectionEffect },
        { 23, 30, 0, &FanPreview::UpdateCustom1lEffect },
        { 24, 1, 0, &FanPreview::UpdateStaticEffect },
    };
    for (const ModeStep& step : kSteps)
        if (step.mode == mode)
            return &step;
    return nullptr;
}

void FanPreview::stepLayers(unsigned long long now)
{
    for (auto& owned : *m_layers) {
        LAYER_INFO& layer = *owned;
        if (!layer.show || layer.brightness <= 0 || layer.device >= kNeverStepsFrom)
            continue;
        const ModeStep* step = stepOf(layer.mode);
        // A negative speed value gives a huge unsigned interval: such a layer stops stepping.
        const long long interval = !step ? layer.speed
                                         : step->perSpeed ? static_cast<long long>(step->perSpeed) * layer.speed
                                                          : step->fixed;
        if (now - layer.lastStep < static_cast<unsigned long long>(interval))
            continue;
        layer.lastStep = now;
        if (step)
            (this->*step->effect)(&layer);
    }
}

void FanPreview::combineLayers()
{
    for (FAN_LED_INFO* led : *m_leds)
        led->color = 0;
    m_building.fill(0);
    const size_t used = static_cast<size_t>(m_kind->slotCount * m_kind->slotBytes);
    for (const auto& owned : *m_layers) {
        const LAYER_INFO& layer = *owned;
        if (!layer.show || layer.brightness <= 0)
            continue;
        const size_t shared = std::min(layer.leds.size(), m_leds->size());
        for (size_t i = 0; i < shared; ++i) {
            if (!layer.leds[i].selected)
                continue;
            FAN_LED_INFO& led = *(*m_leds)[i];
            led.color |= layer.leds[i].color;
            const int place = BufferPlace(led, layer.mode);
            if (place < 0 || static_cast<size_t>(place) + 3 > used)
                continue;
            m_building[static_cast<size_t>(place)] = GetRValue(led.color);
            m_building[static_cast<size_t>(place) + 1] = GetGValue(led.color);
            m_building[static_cast<size_t>(place) + 2] = GetBValue(led.color);
        }
    }
}

void FanPreview::publish()
{
    ScopedLock lock(m_bufferLock);
    m_published = m_building;
}

void FanPreview::askRepaint(unsigned long long now)
{
    if (!IsParentVisible())
        return;
    if (m_manager && ::IsIconic(m_manager->GetPaintWnd()))
        return;
    if (now - m_lastRepaint <= kRepaintGap)
        return;
    if (m_visible)
        repaint();
    m_lastRepaint = now;
}

int FanPreview::OnControlTimer()
{
    const unsigned long long now = GetCurMillSeconds();
    {
        ScopedLock list(m_listLock);
        if (!TicksNow() || m_fans->empty())
            return 0;
        ScopedLock layers(m_layerLock);
        if (m_layers->empty())
            return 0;
        stepLayers(now);
        if (!m_leds->empty()) {
            combineLayers();
            publish();
        }
    }
    askRepaint(now);
    return 1;
}

} // namespace KOVA
