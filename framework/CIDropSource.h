#pragma once
// The source side of an outgoing drag: CIDropSource tells OLE when the drag ends, and
// CDragSourceHelper asks the shell to hang a picture under the pointer while it lasts.
#include "platform/Win32.h"

#include <shlobj.h>

#include "framework/CIDataObject.h"
#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API CIDropSource : public detail::HeapComObject<IDropSource, IID_IDropSource> {
public:
    CIDropSource() = default;
    CIDropSource(const CIDropSource&) = delete;
    CIDropSource& operator=(const CIDropSource&) = delete;

    // IDropSource
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

    // Set once the drag has ended with a drop.
    bool IsDropped() const { return m_dropped; }

private:
    bool m_dropped { false };
};

// Without the shell's drag-image object (it cannot always be created) every call fails and
// the drag simply shows no picture.
class KOVA_API CDragSourceHelper {
public:
    CDragSourceHelper();
    ~CDragSourceHelper();
    CDragSourceHelper(const CDragSourceHelper&) = delete;
    CDragSourceHelper& operator=(const CDragSourceHelper&) = delete;

    // On success the shell owns the bitmap; on failure the caller still does. cursor and
    // rect are in the same coordinates: the picture hangs at cursor − rect's top-left.
    HRESULT InitializeFromBitmap(HBITMAP bitmap, POINT& cursor, RECT& rect, IDataObject* data, COLORREF colorKey);
    HRESULT InitializeFromWindow(HWND window, POINT& cursor, IDataObject* data);

private:
    IDragSourceHelper* m_helper { nullptr };
};

} // namespace KOVA
