// The record vector is guarded by m_lock; GetImageCount reads its size without it. Images
// are loaded before the lock is taken, so a slow file never blocks a painting reader.
#include "framework/MImageList.h"

#include <algorithm>

#include "framework/MRender.h"

namespace KOVA {

MImageList::~MImageList()
{
    DelAllImages();
}

MImageList::OwnedRecord MImageList::loadRecord(const wchar_t* path, int id, int count)
{
    OwnedRecord record(new _M_IAMGELIST);
    record->m_nID = id;
    record->m_nFrameCount = count;
    record->m_strPath = path;
    record->m_pImage = MRender::LoadImageFromFile(path);
    if (record->m_pImage) {
        record->m_nHeight = static_cast<int>(record->m_pImage->GetHeight());
        record->m_nWidth = static_cast<int>(record->m_pImage->GetWidth() / static_cast<UINT>(count));
    }
    return record;
}

int MImageList::InsertImage(int index, const wchar_t* path, int id, int count)
{
    if (!path || index < -1 || count < 1)
        return -1;
    OwnedRecord record = loadRecord(path, id, count);
    ScopedLock lock(m_lock);
    const int size = static_cast<int>(m_records->size());
    if (index > size - 1)
        return -1;
    if (index == -1) {
        m_records->push_back(std::move(record));
        return size;
    }
    m_records->insert(m_records->begin() + index, std::move(record));
    return -1;
}

int MImageList::AddImage(const wchar_t* path, int id, int count)
{
    return InsertImage(-1, path, id, count);
}

int MImageList::DelAllImages()
{
    ScopedLock lock(m_lock);
    m_records->clear();
    return 1;
}

_M_IAMGELIST* MImageList::recordAt(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_records->size()))
        return nullptr;
    return (*m_records)[index].get();
}

_M_IAMGELIST* MImageList::recordWithId(int id) const
{
    const auto found = std::find_if(m_records->begin(), m_records->end(),
                                    [id](const OwnedRecord& record) { return record->m_nID == id; });
    return found == m_records->end() ? nullptr : found->get();
}

_M_IAMGELIST* MImageList::GetItemImageData(int index)
{
    ScopedLock lock(m_lock);
    return recordAt(index);
}

_M_IAMGELIST* MImageList::GetImageDataByID(int id)
{
    ScopedLock lock(m_lock);
    return recordWithId(id);
}

CString MImageList::GetImagePath(int index)
{
    ScopedLock lock(m_lock);
    const _M_IAMGELIST* record = recordAt(index);
    return record ? record->m_strPath : CString();
}

CString MImageList::GetImagePathByID(int id)
{
    ScopedLock lock(m_lock);
    const _M_IAMGELIST* record = recordWithId(id);
    return record ? record->m_strPath : CString();
}

int MImageList::SetDrawImgSize(int width, int height)
{
    m_drawWidth = width;
    m_drawHeight = height;
    return 1;
}

void MImageList::DrawItemIcon(Gdiplus::Graphics& graphics, CRect rc, int index)
{
    DrawItemIcon(graphics, rc, index, 0);
}

void MImageList::DrawItemIcon(Gdiplus::Graphics& graphics, CRect rc, int index, int frame)
{
    // Held while drawing: DelAllImages on another thread must not free the image mid-draw.
    ScopedLock lock(m_lock);
    const _M_IAMGELIST* record = recordAt(index);
    if (!record || !record->m_pImage)
        return;
    const int lastFrame = std::max(record->m_nFrameCount - 1, 0);
    const int sourceX = record->m_nWidth * std::clamp(frame, 0, lastFrame);
    MRender::DrawImagePart(graphics, record->m_pImage, rc, sourceX, 0, record->m_nWidth, record->m_nHeight);
}

} // namespace KOVA
