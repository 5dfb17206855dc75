#include "framework/CIDropTarget.h"

#include "framework/DispatchScope.h"

namespace KOVA {

namespace {
bool offers(DWORD offered, DWORD effect)
{
    return (offered & effect) != 0;
}

DWORD effectForKeys(DWORD keyState)
{
    const bool control = (keyState & MK_CONTROL) != 0;
    const bool shift = (keyState & MK_SHIFT) != 0;
    if (control && shift)
        return DROPEFFECT_LINK;
    if (control)
        return DROPEFFECT_COPY;
    if (shift)
        return DROPEFFECT_MOVE;
    return DROPEFFECT_NONE;
}

DWORD preferredOffered(DWORD offered)
{
    for (DWORD effect : { DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK })
        if (offers(offered, effect))
            return effect;
    return DROPEFFECT_NONE;
}
} // namespace

CIDropTarget::CIDropTarget(HWND target) : m_targetWnd(target)
{
    DispatchScope::NoteBorn(this);
    createDropImageHelper();
}

CIDropTarget::CIDropTarget(const CIDropTarget&) : IDropTarget()
{
    DispatchScope::NoteBorn(this);
    createDropImageHelper();
}

CIDropTarget::~CIDropTarget()
{
    // A drop under way (and the paint manager's frames) must not use this object any more.
    DispatchScope::NoteGone(this);
    if (m_dropHelper)
        m_dropHelper->Release();
}

void CIDropTarget::createDropImageHelper()
{
    void* helper = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDropTargetHelper,
                                   &helper)))
        m_dropHelper = static_cast<IDropTargetHelper*>(helper);
}

void CIDropTarget::SetTargetWnd(HWND window)
{
    m_targetWnd = window;
    // A target built before the host started COM could not get the helper then.
    if (!m_dropHelper)
        createDropImageHelper();
}

void CIDropTarget::AddSuportedFormat(FORMATETC& format)
{
    m_formats.push_back(format);
}

void CIDropTarget::ClearSupportedFormats()
{
    m_formats.clear();
    m_currentFormat = -1;
    m_allowDrop = false;
}

FORMATETC* CIDropTarget::currentFormat()
{
    if (m_currentFormat < 0 || m_currentFormat >= static_cast<int>(m_formats.size()))
        return nullptr;
    return &m_formats[m_currentFormat];
}

// ---- IUnknown

HRESULT STDMETHODCALLTYPE CIDropTarget::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDropTarget) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CIDropTarget::AddRef()
{
    return static_cast<ULONG>(++m_refCount);
}

ULONG STDMETHODCALLTYPE CIDropTarget::Release()
{
    if (m_refCount > 0)
        --m_refCount;
    return static_cast<ULONG>(m_refCount);
}

// ---- IDropTarget

bool CIDropTarget::QueryDrop(DWORD keyState, DWORD* effect)
{
    if (!effect)
        return false;
    if (!m_allowDrop) {
        *effect = DROPEFFECT_NONE;
        return false;
    }
    const DWORD offered = *effect;
    const DWORD wanted = effectForKeys(keyState);
    if (wanted != DROPEFFECT_NONE)
        *effect = offers(offered, wanted) ? wanted : DROPEFFECT_NONE;
    else
        *effect = preferredOffered(offered);
    return *effect != DROPEFFECT_NONE;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect)
{
    if (!data || !effect)
        return E_INVALIDARG;
    POINT where { point.x, point.y };
    if (m_dropHelper)
        m_dropHelper->DragEnter(m_targetWnd, data, &where, *effect);
    m_currentFormat = -1;
    m_allowDrop = false;
    for (size_t i = 0; i < m_formats.size() && !m_allowDrop; ++i) {
        m_allowDrop = data->QueryGetData(&m_formats[i]) == S_OK;
        if (m_allowDrop)
            m_currentFormat = static_cast<int>(i);
    }
    QueryDrop(keyState, effect);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    POINT where { point.x, point.y };
    if (m_dropHelper)
        m_dropHelper->DragOver(&where, *effect);
    QueryDrop(keyState, effect);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragLeave()
{
    if (m_dropHelper)
        m_dropHelper->DragLeave();
    endDrag();
    return S_OK;
}

void CIDropTarget::endDrag()
{
    m_allowDrop = false;
    m_currentFormat = -1;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect)
{
    if (!data || !effect)
        return E_INVALIDARG;
    POINT where { point.x, point.y };
    if (m_dropHelper)
        m_dropHelper->Drop(data, &where, *effect);
    FORMATETC* format = currentFormat();
    HRESULT result = S_OK;
    // OnDrop clicks the window. What a handler asks to delete there waits until the drop is
    // done; a host that deletes the object holding this target outright gets nothing of it
    // used on the way out.
    DispatchScope dispatch;
    if (QueryDrop(keyState, effect) && m_allowDrop && format) {
        STGMEDIUM medium {};
        if (SUCCEEDED(data->GetData(format, &medium))) {
            bool release = true;
            // Nothing thrown below may unwind into OLE's drag loop.
            try {
                release = OnDrop(format, medium, effect);
            } catch (...) {
                result = E_UNEXPECTED;
            }
            if (release)
                ReleaseStgMedium(&medium);
        }
    }
    *effect = DROPEFFECT_NONE;
    if (!DispatchScope::IsGone(this))
        endDrag();
    return result;
}

} // namespace KOVA
