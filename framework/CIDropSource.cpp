#include "framework/CIDropSource.h"

namespace KOVA {

HRESULT STDMETHODCALLTYPE CIDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState)
{
    if (escapePressed)
        return DRAGDROP_S_CANCEL;
    if (keyState & (MK_LBUTTON | MK_RBUTTON))
        return S_OK;
    m_dropped = true;
    return DRAGDROP_S_DROP;
}

HRESULT STDMETHODCALLTYPE CIDropSource::GiveFeedback(DWORD)
{
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

CDragSourceHelper::CDragSourceHelper()
{
    void* helper = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDragSourceHelper,
                                   &helper)))
        m_helper = static_cast<IDragSourceHelper*>(helper);
}

CDragSourceHelper::~CDragSourceHelper()
{
    if (m_helper)
        m_helper->Release();
}

HRESULT CDragSourceHelper::InitializeFromBitmap(HBITMAP bitmap, POINT& cursor, RECT& rect, IDataObject* data,
                                                COLORREF colorKey)
{
    if (!m_helper)
        return E_FAIL;
    BITMAP info {};
    GetObjectW(bitmap, sizeof info, &info);
    SHDRAGIMAGE image {};
    image.sizeDragImage = { info.bmWidth, info.bmHeight };
    image.ptOffset = { cursor.x - rect.left, cursor.y - rect.top };
    image.hbmpDragImage = bitmap;
    image.crColorKey = colorKey;
    return m_helper->InitializeFromBitmap(&image, data);
}

HRESULT CDragSourceHelper::InitializeFromWindow(HWND window, POINT& cursor, IDataObject* data)
{
    return m_helper ? m_helper->InitializeFromWindow(window, &cursor, data) : E_FAIL;
}

} // namespace KOVA
