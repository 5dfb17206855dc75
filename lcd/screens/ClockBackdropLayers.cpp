#include "lcd/screens/ClockBackdropLayers.h"

#include <algorithm>

#include "lcd/renderer/LEDModeCtrl.h"

namespace KOVA {

bool ClockBackdropLayers::GifKey::operator==(const GifKey& o) const
{
    return serial == o.serial && frameCount == o.frameCount && width == o.width && height == o.height
        && interpolation == o.interpolation;
}

bool ClockKeptElements::Matches(const LcdLayerKey& key, const CString& face, int second) const
{
    return m_valid && m_layer.Ready() && key == m_key && face == m_face && second == m_second;
}

HDC ClockKeptElements::Begin(const LcdLayerKey& key, const CString& face, int second, HDC reference)
{
    m_valid = false;
    const HDC dc = m_layer.Begin(reference, key.width, key.height);
    if (!dc)
        return nullptr;
    m_key = key;
    m_face = face;
    m_second = second;
    m_valid = true;
    return dc;
}

LcdPremultipliedLayer& ClockBackdropLayers::GifFrame(const GifKey& key, int index)
{
    if (!(key == m_gifKey) || m_gifSlots.empty()) {
        const size_t frameBytes = static_cast<size_t>(std::max(key.width, 1)) * static_cast<size_t>(std::max(key.height, 1)) * 4;
        const size_t fit = std::max<size_t>(kGifFrameBudget / frameBytes, 1);
        const size_t slots = std::min(fit, static_cast<size_t>(std::max(key.frameCount, 1)));
        m_gifSlots.resize(slots);
        for (auto& slot : m_gifSlots) {
            if (!slot)
                slot = std::make_unique<GifSlot>();
            slot->index = -1;
        }
        m_gifKey = key;
    }
    GifSlot& slot = *m_gifSlots[static_cast<size_t>(std::max(index, 0)) % m_gifSlots.size()];
    if (slot.index != index || !slot.frame.Ready()) {
        slot.index = index;
        // The caller draws the frame anew.
        slot.frame.Forget();
    }
    return slot.frame;
}

void ClockBackdropLayers::ForgetGifFrames()
{
    m_gifSlots.clear();
    m_gifKey = GifKey();
}

void ClockBackdropLayersDeleter::operator()(ClockBackdropLayers* layers) const
{
    delete layers;
}

} // namespace KOVA
