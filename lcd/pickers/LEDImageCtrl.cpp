// GUI thread only. Lock order: the item lock below the paint manager's list locks; files are
// read and thumbnails made with no lock held, and the item lock is let go before a repaint
// request.
#include "lcd/pickers/LEDImageCtrl.h"

#include <shlwapi.h>

#include <opencv2/imgproc.hpp>

#include "framework/MRender.h"
#include "lcd/renderer/LEDModeCtrl.h"
#include "lcd/renderer/LcdImageHelpers.h"
#include "lcd/media/VideoClip.h"

namespace KOVA {

namespace {
constexpr int kFirstCell = 2;
constexpr int kColumns = 4;
// The four cells share the width left by a 20 px allowance.
constexpr int kMargins = 20;
constexpr int kColumnGap = 5;
constexpr int kRowGap = 10;
// Items after this one all stay on the second row.
constexpr int kFirstRowLast = 3;
constexpr int kRoundSide = 480;
constexpr int kWideWidth = 640;
constexpr int kWideHeight = 480;
} // namespace

struct LEDImageCtrl::Thumbnail {
    enum class Outcome { Listed, Refused };
    Outcome outcome { Outcome::Listed };
    std::unique_ptr<Gdiplus::Image> image;
    int frameCount { 0 };
};

LEDImageCtrl::LEDImageCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : LcdPickerGrid(parent, id, rect, visible, enabled)
{
    m_run = 1;
}

LEDImageCtrl::LEDImageCtrl(const LEDImageCtrl& other) = default;
LEDImageCtrl& LEDImageCtrl::operator=(const LEDImageCtrl& other) = default;
LEDImageCtrl::~LEDImageCtrl() = default;

const wchar_t* LEDImageCtrl::GetClassNameW() const { return L"LEDImageCtrl"; }

VideoClip& LEDImageCtrl::video()
{
    if (!*m_video)
        m_video->reset(new VideoClip);
    return **m_video;
}

SIZE LEDImageCtrl::screenSize() const
{
    if (m_screenType == LEDScreenCircle || m_screenType == LEDScreenSquare)
        return SIZE { kRoundSide, kRoundSide };
    return SIZE { kWideWidth, kWideHeight };
}

// ---- thumbnails

LEDImageCtrl::Thumbnail LEDImageCtrl::videoThumbnail(const CString& path)
{
    Thumbnail made;
    VideoClip& clip = video();
    if (!clip.Open(path)) {
        made.outcome = Thumbnail::Outcome::Refused;
        return made;
    }
    m_videoWidth = clip.Width();
    m_videoHeight = clip.Height();
    made.frameCount = clip.FrameCount();
    clip.Seek(0);
    if (clip.Read()) {
        cv::Mat& frame = clip.Frame();
        const SIZE most = screenSize();
        if (frame.cols > most.cx || frame.rows > most.cy) {
            cv::Mat smaller;
            cv::resize(frame, smaller, cv::Size(most.cx, most.cy), 0, 0, cv::INTER_AREA);
            made.image.reset(MatToBitmap(smaller));
        } else {
            made.image.reset(MatToBitmap(frame));
        }
    }
    clip.Close();
    return made;
}

LEDImageCtrl::Thumbnail LEDImageCtrl::pictureThumbnail(const CString& path, int kind) const
{
    Thumbnail made;
    if (kind == MediaKindGif) {
        // The thumbnail is a plain bitmap: the frames are counted on the file's own image.
        const std::unique_ptr<Gdiplus::Image> whole(MRender::LoadImageFromFile(path));
        if (!whole)
            return made;
        made.frameCount = MRender::GetFirstDimensionFrameCount(whole.get());
        if (made.frameCount == 0) {
            made.outcome = Thumbnail::Outcome::Refused;
            return made;
        }
    }
    const SIZE most = screenSize();
    made.image.reset(MRender::LoadImageFromFileEx(path, most.cx, most.cy));
    if (!made.image)
        made.frameCount = 0;
    else if (kind != MediaKindGif)
        made.frameCount = 1;
    return made;
}

LEDImageCtrl::Thumbnail LEDImageCtrl::makeThumbnail(const CString& path, int kind)
{
    if (!::PathFileExistsW(path))
        return Thumbnail();
    return kind == MediaKindVideo ? videoThumbnail(path) : pictureThumbnail(path, kind);
}

// ---- the list

void LEDImageCtrl::AddItem(CString path, int kind)
{
    Thumbnail thumbnail = makeThumbnail(path, kind);
    if (thumbnail.outcome == Thumbnail::Outcome::Refused)
        return;
    auto item = std::make_unique<MediaItemInfo>();
    item->path = path;
    item->kind = kind;
    item->frameCount = thumbnail.frameCount;
    item->TakeImage(thumbnail.image.release());
    AppendItem(std::move(item));
    UpdateControl(1, 0);
}

void LEDImageCtrl::SetItemInfo(int index, CString path, int kind)
{
    if (index < 0 || index >= GetItemCount())
        return;
    if (!::PathFileExistsW(path)) {
        UpdateControl(1, 0);
        return;
    }
    Thumbnail thumbnail = makeThumbnail(path, kind);
    {
        ScopedLock lock(m_itemsLock);
        auto* item = static_cast<MediaItemInfo*>(ItemAt(index));
        if (!item)
            return;
        item->path = path;
        item->kind = kind;
        item->frameCount = thumbnail.frameCount;
        // A refused medium leaves no thumbnail behind, not a freed one.
        item->TakeImage(thumbnail.image.release());
    }
    if (thumbnail.outcome == Thumbnail::Outcome::Listed)
        UpdateControl(1, 0);
}

void LEDImageCtrl::GetItemInfo(int index, CString& path, int& kind)
{
    ScopedLock lock(m_itemsLock);
    if (const auto* item = static_cast<const MediaItemInfo*>(ItemAt(index))) {
        path = item->path;
        kind = item->kind;
    }
}

void LEDImageCtrl::SetRun(int run)
{
    m_run = run;
    UpdateControl(1, 0);
}

void LEDImageCtrl::SetLEDScreenType(int type)
{
    m_screenType = type;
    UpdateControl(1, 0);
}

void LEDImageCtrl::SetControlRect(CRect rect)
{
    m_rect = rect;
}

int LEDImageCtrl::OnControlTimer()
{
    return 0;
}

// ---- drawing

void LEDImageCtrl::DrawControl(HDC& dc, CRect)
{
    const int cellWidth = (m_rect.Width() - kMargins) / kColumns;
    const int cellHeight = CellHeight(cellWidth);
    DrawGrid(dc, m_rect.Width(), [&](Gdiplus::Graphics& graphics, auto& items) {
        int x = kFirstCell;
        int y = kFirstCell;
        for (size_t i = 0; i < items.size(); ++i) {
            DrawCell(graphics, *items[i], static_cast<int>(i), CRect(x, y, x + cellWidth, y + cellHeight));
            x += cellWidth + kColumnGap;
            if (i == kFirstRowLast) {
                x = kFirstCell;
                y += cellHeight + kRowGap;
            }
        }
    });
}

void LEDImageCtrl::DrawFrame(HDC& dc, cv::Mat& frame, CRect target)
{
    video().Blit(dc, frame, target);
}

} // namespace KOVA
