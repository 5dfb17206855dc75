#include "PlayerClips.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "Narrow.h"

namespace KOVA::test {

namespace {
// The quadrants' colours are well over this on some channel; black bands, grounds and the dark
// backgrounds controls draw on are under it.
constexpr int kBright = 96;
constexpr int kPatchRadius = 2;

CString clipsFolder()
{
    return CString(KOVA_TEST_CLIPS) + L"/";
}

DWORD patchColour(const cv::Mat& bgr, cv::Point centre)
{
    const cv::Rect patch = cv::Rect(centre.x - kPatchRadius, centre.y - kPatchRadius, 2 * kPatchRadius + 1,
                                    2 * kPatchRadius + 1) &
                           cv::Rect(0, 0, bgr.cols, bgr.rows);
    const cv::Scalar mean = cv::mean(bgr(patch));
    return static_cast<DWORD>(cv::saturate_cast<uchar>(mean[2])) << 16 |
           static_cast<DWORD>(cv::saturate_cast<uchar>(mean[1])) << 8 | cv::saturate_cast<uchar>(mean[0]);
}

cv::Rect brightBox(const cv::Mat& bgr)
{
    int left = bgr.cols, top = bgr.rows, right = -1, bottom = -1;
    for (int y = 0; y < bgr.rows; ++y) {
        const cv::Vec3b* row = bgr.ptr<cv::Vec3b>(y);
        for (int x = 0; x < bgr.cols; ++x) {
            if (std::max({ row[x][0], row[x][1], row[x][2] }) < kBright)
                continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    return right < 0 ? cv::Rect() : cv::Rect(left, top, right - left + 1, bottom - top + 1);
}
} // namespace

CString PlayerClip::path() const
{
    return name.empty() ? CString() : clipsFolder() + CString(name.c_str());
}

std::vector<PlayerClip> playerClips()
{
    std::vector<PlayerClip> clips;
    std::ifstream manifest(narrow(clipsFolder() + L"clips.txt"));
    for (std::string line; std::getline(manifest, line);) {
        std::istringstream fields(line);
        PlayerClip clip;
        fields >> clip.name >> clip.width >> clip.height >> clip.frames >> clip.decoded;
        for (DWORD& colour : clip.quadrants) {
            std::string hex;
            fields >> hex;
            colour = static_cast<DWORD>(std::stoul(hex, nullptr, 16));
        }
        if (fields)
            clips.push_back(clip);
    }
    return clips;
}

PlayerClip playerClip(const char* name)
{
    for (const PlayerClip& clip : playerClips())
        if (clip.name == name)
            return clip;
    return {};
}

Quadrants quadrantsOf(const cv::Mat& bgr, cv::Rect area)
{
    if (bgr.empty())
        return {};
    area = area.empty() ? cv::Rect(0, 0, bgr.cols, bgr.rows) : area & cv::Rect(0, 0, bgr.cols, bgr.rows);
    const cv::Mat inside = bgr(area);
    const cv::Rect box = brightBox(inside);
    if (box.empty())
        return {};
    Quadrants quadrants {};
    for (int q = 0; q < 4; ++q) {
        const cv::Point middle(box.x + box.width * (1 + 2 * (q % 2)) / 4, box.y + box.height * (1 + 2 * (q / 2)) / 4);
        quadrants[q] = patchColour(inside, middle);
    }
    return quadrants;
}

bool sameQuadrants(const Quadrants& shown, const Quadrants& player, int tolerance)
{
    for (int q = 0; q < 4; ++q)
        for (int shift : { 0, 8, 16 })
            if (std::abs(static_cast<int>((shown[q] >> shift) & 0xFF) - static_cast<int>((player[q] >> shift) & 0xFF)) >
                tolerance)
                return false;
    return true;
}

std::string describe(const Quadrants& quadrants)
{
    char text[48];
    std::snprintf(text, sizeof(text), "%06lX %06lX / %06lX %06lX", quadrants[0], quadrants[1], quadrants[2],
                  quadrants[3]);
    return text;
}

} // namespace KOVA::test
