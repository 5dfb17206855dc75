#include "controls/input/EditFont.h"

#include <algorithm>
#include <cwchar>

namespace KOVA {

namespace {
constexpr int kBold = 1;
constexpr int kItalic = 2;
constexpr int kUnderline = 4;
} // namespace

LOGFONTW EditLogFont(const wchar_t* face, int height, int styleBits)
{
    LOGFONTW description {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(description), &description);
    wcsncpy(description.lfFaceName, face ? face : L"", LF_FACESIZE - 1);
    description.lfFaceName[LF_FACESIZE - 1] = L'\0';
    description.lfHeight = std::clamp(height, -kLargestEditFont, kLargestEditFont);
    description.lfCharSet = DEFAULT_CHARSET;
    // Adding 700 to the stock weight would ask for 1100, beyond what GDI knows.
    if (styleBits & kBold)
        description.lfWeight = FW_BOLD;
    description.lfItalic = (styleBits & kItalic) ? TRUE : FALSE;
    description.lfUnderline = (styleBits & kUnderline) ? TRUE : FALSE;
    return description;
}

OwnedFont CreateEditFont(const wchar_t* face, int height, int styleBits)
{
    const LOGFONTW description = EditLogFont(face, height, styleBits);
    return OwnedFont(::CreateFontIndirectW(&description));
}

OwnedFont CreateEditFontOfSize(const wchar_t* face, int size, int styleBits)
{
    return CreateEditFont(face, -std::clamp(size, -kLargestEditFont, kLargestEditFont), styleBits);
}

} // namespace KOVA
