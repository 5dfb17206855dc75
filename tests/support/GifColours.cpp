#include "GifColours.h"

#include <algorithm>
#include <cstdlib>
#include <set>

#include <fcntl.h>
#include <io.h>

#include <gif_lib.h>

namespace KOVA::test {

namespace {

std::vector<DWORD> coloursOf(const GifFileType& gif, const SavedImage& image)
{
    const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif.SColorMap;
    std::set<DWORD> colours;
    const size_t pixels = static_cast<size_t>(image.ImageDesc.Width) * static_cast<size_t>(image.ImageDesc.Height);
    for (size_t p = 0; map && p < pixels; ++p) {
        const int index = image.RasterBits[p];
        if (index >= map->ColorCount)
            continue;
        const GifColorType& c = map->Colors[index];
        colours.insert(static_cast<DWORD>(c.Red) << 16 | static_cast<DWORD>(c.Green) << 8 | c.Blue);
    }
    return { colours.begin(), colours.end() };
}

} // namespace

std::vector<std::vector<DWORD>> readGifColours(const CString& path)
{
    const int file = _wopen(path, _O_RDONLY | _O_BINARY);
    if (file < 0)
        return {};
    // giflib closes the file with the handle, and on a failed open too.
    GifFileType* gif = DGifOpenFileHandle(file, nullptr);
    if (!gif)
        return {};
    std::vector<std::vector<DWORD>> frames;
    if (DGifSlurp(gif) == GIF_OK) {
        for (int i = 0; i < gif->ImageCount; ++i)
            frames.push_back(coloursOf(*gif, gif->SavedImages[i]));
    }
    DGifCloseFile(gif, nullptr);
    return frames;
}

int farthestFrom(const std::vector<DWORD>& colours, DWORD rgb)
{
    int farthest = 0;
    for (const DWORD colour : colours) {
        for (const int shift : { 0, 8, 16 })
            farthest = std::max(farthest, std::abs(static_cast<int>((colour >> shift) & 0xFF) - static_cast<int>((rgb >> shift) & 0xFF)));
    }
    return farthest;
}

} // namespace KOVA::test
