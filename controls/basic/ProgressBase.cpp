// The setters run on the GUI thread; the value and the maximum may be read and stepped on the
// fast-timer thread meanwhile (the bar's marquee), through their atomics.
#include "controls/basic/ProgressBase.h"

#include "framework/ImgResInfo.h"
#include "framework/PaintManager.h"

namespace KOVA {

ProgressBase::ProgressBase(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
}

ProgressBase::ProgressBase(const ProgressBase& other) : MControlFont(other)
{
    copyValuesFrom(other);
}

ProgressBase& ProgressBase::operator=(const ProgressBase& other)
{
    if (this != &other) {
        MControlFont::operator=(other);
        copyValuesFrom(other);
    }
    return *this;
}

void ProgressBase::copyValuesFrom(const ProgressBase& other)
{
    m_progress.store(other.m_progress.load());
    m_max.store(other.m_max.load());
    m_backImage = other.m_backImage;
    m_backWidth = other.m_backWidth;
    m_backHeight = other.m_backHeight;
}

int ProgressBase::SetProgress(int progress)
{
    if (!m_enabled)
        return m_progress.load();
    const int maximum = m_max.load();
    if (progress > maximum)
        progress = maximum;
    if (progress < 0 || m_progress.exchange(progress) == progress)
        return m_progress.load();
    Repaint();
    return progress;
}

CString ProgressBase::ProgressText(int progress) const
{
    CString text;
    text.Format(L"%s%d%s", static_cast<const wchar_t*>(m_title), progress, m_max.load() == 100 ? L"%" : L"");
    return text;
}

int ProgressBase::FilledLength(int progress, int length) const
{
    const int maximum = m_max.load();
    // A maximum of 0 would divide by zero; a value past a lowered maximum must not fill more
    // than the whole.
    if (maximum < 1 || progress <= 0)
        return 0;
    const long long filled = static_cast<long long>(progress) * length / maximum;
    return filled >= length ? length : static_cast<int>(filled);
}

const ImgResInfo* ProgressBase::LoadCached(const CString& file) const
{
    return m_manager ? m_manager->AddImgResInfo(file, 1) : nullptr;
}

const ImgResInfo* ProgressBase::LoadCached(UINT resourceId) const
{
    return m_manager ? m_manager->AddImgResInfo(resourceId, L"PNG", 1, 1) : nullptr;
}

bool ProgressBase::TakeImage(const ImgResInfo* record, Gdiplus::Image*& image, int& width, int& height)
{
    if (!record || !record->m_pImage)
        return false;
    image = record->m_pImage;
    width = static_cast<int>(image->GetWidth());
    height = static_cast<int>(image->GetHeight());
    Repaint();
    return true;
}

bool ProgressBase::SetBackGroundImage(CString file)
{
    return TakeImage(LoadCached(file), m_backImage, m_backWidth, m_backHeight);
}

bool ProgressBase::SetBackGroundImage(UINT resourceId)
{
    return TakeImage(LoadCached(resourceId), m_backImage, m_backWidth, m_backHeight);
}

} // namespace KOVA
