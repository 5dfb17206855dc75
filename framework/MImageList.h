#pragma once
// An ordered list of icon strips loaded from files, addressed by position or by a
// caller-chosen id; the owner-drawn list boxes keep their item icons in one.
#include "platform/Win32.h"

#include <memory>
#include <vector>

#include "platform/CRect.h"
#include "platform/CSize.h"
#include "platform/CString.h"
#include "platform/CriticalSection.h"
#include "platform/KovaExport.h"
#include "platform/NotCopied.h"

namespace KOVA {

// One image of an MImageList. The list owns the record and its image.
struct KOVA_API _M_IAMGELIST {
    Gdiplus::Image* m_pImage { nullptr };   // null when the file could not be loaded
    int m_nWidth { 0 };                     // frame width: image width / frame count
    int m_nHeight { 0 };
    int m_nID { 0 };
    int m_nFrameCount { 0 };
    CString m_strPath;
};

class KOVA_API MImageList {
public:
    MImageList() = default;
    // A copy takes the draw size only: the images stay with their list.
    MImageList(const MImageList&) = default;
    MImageList& operator=(const MImageList&) = default;
    ~MImageList();

    // Before the record at index, or appended for −1. Returns the new position when appended,
    // otherwise −1 (also on failure: no path, a count below 1, an index out of range). A file
    // that does not load still gets its record, with a null image.
    int InsertImage(int index, const wchar_t* path, int id, int count);
    int AddImage(const wchar_t* path, int id, int count);
    int DelAllImages();

    // Records stay owned by the list; null when there is none.
    _M_IAMGELIST* GetItemImageData(int index);
    _M_IAMGELIST* GetImageDataByID(int id);
    CString GetImagePath(int index);
    CString GetImagePathByID(int id);
    int GetImageCount() const { return static_cast<int>(m_records->size()); }

    // Kept for the list's users to lay out their icons; the list does not read it.
    int SetDrawImgSize(int width, int height);
    CSize GetIconSize() const { return CSize(m_drawWidth, m_drawHeight); }

    // Frame 0, or the given frame (clamped to the strip), stretched into rc.
    void DrawItemIcon(Gdiplus::Graphics& graphics, CRect rc, int index);
    void DrawItemIcon(Gdiplus::Graphics& graphics, CRect rc, int index, int frame);

private:
    struct RecordDeleter {
        void operator()(_M_IAMGELIST* record) const
        {
            if (record)
                delete record->m_pImage;
            delete record;
        }
    };
    using OwnedRecord = std::unique_ptr<_M_IAMGELIST, RecordDeleter>;

    static OwnedRecord loadRecord(const wchar_t* path, int id, int count);
    // Callers hold m_lock.
    _M_IAMGELIST* recordAt(int index) const;
    _M_IAMGELIST* recordWithId(int id) const;

    NotCopied<std::vector<OwnedRecord>> m_records;
    CriticalSection m_lock;
    int m_drawWidth { 0 };
    int m_drawHeight { 0 };
};

} // namespace KOVA
