#include "lcd/media/GifDelays.h"

#include <algorithm>
#include <cstdio>

#include <gif_lib.h>

#include "platform/Win32.h"

namespace KOVA {

namespace {
// No frame steps faster than this under the players that set a floor.
constexpr int kShortestPeriod = 16;
constexpr int kPeriodWithoutDelay = 100;

int readFromFile(GifFileType* gif, GifByteType* into, int count)
{
    return static_cast<int>(fread(into, 1, static_cast<size_t>(count), static_cast<FILE*>(gif->UserData)));
}

bool skipImageData(GifFileType* gif)
{
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif, &codeSize, &block) != GIF_OK)
        return false;
    while (block)
        if (DGifGetCodeNext(gif, &block) != GIF_OK)
            return false;
    return true;
}
} // namespace

std::vector<int> ReadGifDelays(const CString& path)
{
    std::vector<int> delays;
    FILE* file = _wfopen(path, L"rb");
    if (!file)
        return delays;
    int error = 0;
    GifFileType* gif = DGifOpen(file, readFromFile, &error);
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    int pendingDelay = -1;
    while (gif && DGifGetRecordType(gif, &type) == GIF_OK && type != TERMINATE_RECORD_TYPE) {
        if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) != GIF_OK || !skipImageData(gif))
                break;
            if (pendingDelay >= 0)
                delays.push_back(pendingDelay);
            pendingDelay = -1;
            continue;
        }
        int code = 0;
        GifByteType* block = nullptr;
        if (type != EXTENSION_RECORD_TYPE || DGifGetExtension(gif, &code, &block) != GIF_OK)
            break;
        GraphicsControlBlock control {};
        if (code == GRAPHICS_EXT_FUNC_CODE && block && DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
            pendingDelay = control.DelayTime;
        while (block && DGifGetExtensionNext(gif, &block) == GIF_OK) {
        }
    }
    if (gif)
        DGifCloseFile(gif, &error);
    fclose(file);
    return delays;
}

int GifFramePeriod(const std::vector<int>& delays, GifPeriodRule rule, int current)
{
    if (delays.empty())
        return current;
    switch (rule) {
    case GifPeriodRule::FirstDelay:
        return std::max(delays.front() * kMillisecondsPerGifDelay, kShortestPeriod);
    case GifPeriodRule::LastNonZeroDelay: {
        const auto last = std::find_if(delays.rbegin(), delays.rend(), [](int delay) { return delay > 0; });
        return last == delays.rend() ? kPeriodWithoutDelay : std::max(*last * kMillisecondsPerGifDelay, kShortestPeriod);
    }
    case GifPeriodRule::FirstDelayZeroAsShortest:
        return delays.front() > 0 ? delays.front() * kMillisecondsPerGifDelay : kMillisecondsPerGifDelay;
    }
    return current;
}

} // namespace KOVA
