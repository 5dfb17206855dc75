#include "framework/CIDataObject.h"

#include <cstring>
#include <cwchar>
#include <new>

namespace KOVA {

namespace {
bool shareTymed(const FORMATETC& stored, const FORMATETC& asked)
{
    return (stored.tymed & asked.tymed) != 0;
}

// A file medium names its file in task memory, which ReleaseStgMedium frees with the task
// allocator: a copy needs its own string from the same allocator.
LPOLESTR duplicateFileName(LPCOLESTR name)
{
    if (!name)
        return nullptr;
    const size_t bytes = (std::wcslen(name) + 1) * sizeof(wchar_t);
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (copy)
        std::memcpy(copy, name, bytes);
    return copy;
}
} // namespace

CIDataObject::CIDataObject(CIDropSource* source) : m_dropSource(source) {}

CIDataObject::~CIDataObject() = default;

void CIDataObject::MediumRelease::operator()(STGMEDIUM* medium) const
{
    ReleaseStgMedium(medium);
    delete medium;
}

// ---- IDataObject

HRESULT STDMETHODCALLTYPE CIDataObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    if (!format || !medium)
        return E_INVALIDARG;
    medium->hGlobal = nullptr;
    for (size_t i = 0; i < m_formats.size(); ++i) {
        const FORMATETC& stored = *m_formats[i];
        if (shareTymed(stored, *format) && stored.dwAspect == format->dwAspect
            && stored.cfFormat == format->cfFormat) {
            CopyMedium(medium, m_media[i].get(), m_formats[i].get());
            return S_OK;
        }
    }
    return DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE CIDataObject::GetDataHere(FORMATETC*, STGMEDIUM*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CIDataObject::QueryGetData(FORMATETC* format)
{
    if (!format)
        return E_INVALIDARG;
    if (!(format->dwAspect & DVASPECT_CONTENT))
        return DV_E_DVASPECT;
    HRESULT answer = DV_E_TYMED;
    for (const auto& stored : m_formats) {
        if (!shareTymed(*stored, *format)) {
            answer = DV_E_TYMED;
            continue;
        }
        if (stored->cfFormat == format->cfFormat)
            return S_OK;
        answer = DV_E_CLIPFORMAT;
    }
    return answer;
}

HRESULT STDMETHODCALLTYPE CIDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out)
{
    return out ? DATA_S_SAMEFORMATETC : E_INVALIDARG;
}

bool CIDataObject::roomForOneMore()
{
    try {
        m_formats.reserve(m_formats.size() + 1);
        m_media.reserve(m_media.size() + 1);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

HRESULT STDMETHODCALLTYPE CIDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release)
{
    if (!format || !medium)
        return E_INVALIDARG;
    std::unique_ptr<FORMATETC> storedFormat(new (std::nothrow) FORMATETC(*format));
    OwnedMedium storedMedium(new (std::nothrow) STGMEDIUM {});
    if (!storedFormat || !storedMedium || !roomForOneMore())
        return E_OUTOFMEMORY;
    if (release)
        *storedMedium = *medium;
    else
        CopyMedium(storedMedium.get(), medium, format);
    m_formats.push_back(std::move(storedFormat));
    m_media.push_back(std::move(storedMedium));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats)
{
    if (!formats)
        return E_POINTER;
    *formats = nullptr;
    if (direction != DATADIR_GET)
        return E_NOTIMPL;
    CEnumFormatEtc* enumerator = nullptr;
    // OLE calls this: no allocation failure may unwind into it.
    try {
        std::vector<FORMATETC*> listed;
        for (const auto& stored : m_formats)
            listed.push_back(stored.get());
        enumerator = new CEnumFormatEtc(listed);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    enumerator->AddRef();
    *formats = enumerator;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE CIDataObject::DUnadvise(DWORD)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CIDataObject::EnumDAdvise(IEnumSTATDATA**)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

void CIDataObject::CopyMedium(STGMEDIUM* dst, STGMEDIUM* src, FORMATETC* format)
{
    if (!dst || !src || !format)
        return;
    switch (src->tymed) {
    case TYMED_HGLOBAL:
    case TYMED_GDI:
    case TYMED_MFPICT:
    case TYMED_ENHMF:
        dst->hGlobal = static_cast<HGLOBAL>(OleDuplicateData(src->hGlobal, format->cfFormat, 0));
        break;
    case TYMED_FILE:
        dst->lpszFileName = duplicateFileName(src->lpszFileName);
        break;
    case TYMED_ISTREAM:
        dst->pstm = src->pstm;
        if (dst->pstm)
            dst->pstm->AddRef();
        break;
    case TYMED_ISTORAGE:
        dst->pstg = src->pstg;
        if (dst->pstg)
            dst->pstg->AddRef();
        break;
    default:
        break;
    }
    dst->tymed = src->tymed;
    dst->pUnkForRelease = src->pUnkForRelease;
    if (dst->pUnkForRelease)
        dst->pUnkForRelease->AddRef();
}

// ---- CEnumFormatEtc

CEnumFormatEtc::CEnumFormatEtc(const std::vector<FORMATETC>& formats) : m_formats(formats) {}

CEnumFormatEtc::CEnumFormatEtc(const std::vector<FORMATETC*>& formats)
{
    for (const FORMATETC* format : formats)
        if (format)
            m_formats.push_back(*format);
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Next(ULONG count, FORMATETC* formats, ULONG* fetched)
{
    if (fetched)
        *fetched = 0;
    if (count == 0 || !formats || m_index >= m_formats.size() || (!fetched && count != 1))
        return S_FALSE;
    ULONG copied = 0;
    while (copied < count && m_index < m_formats.size())
        formats[copied++] = m_formats[m_index++];
    if (fetched)
        *fetched = copied;
    return copied == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Skip(ULONG count)
{
    // Compared as what is left, so that a huge count cannot wrap around.
    if (count >= m_formats.size() - m_index)
        return S_FALSE;
    m_index += count;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Reset()
{
    m_index = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Clone(IEnumFORMATETC** copy)
{
    if (!copy)
        return E_POINTER;
    CEnumFormatEtc* clone = nullptr;
    try {
        clone = new CEnumFormatEtc(m_formats);
    } catch (const std::bad_alloc&) {
        *copy = nullptr;
        return E_OUTOFMEMORY;
    }
    clone->m_index = m_index;
    clone->AddRef();
    *copy = clone;
    return S_OK;
}

} // namespace KOVA
