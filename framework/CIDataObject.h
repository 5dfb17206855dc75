#pragma once
// The data of an outgoing drag: formats with the media that hold them, handed out as copies
// so that every receiver owns what it gets. CEnumFormatEtc lists the formats to OLE.
//
// Both live on the heap and die with their last Release; everything runs on the window's
// thread, so the counts are plain counters.
#include "platform/Win32.h"

#include <memory>
#include <vector>

#include "platform/KovaExport.h"

namespace KOVA {

class CIDropSource;

namespace detail {
// IUnknown of a COM object that lives on the heap and is deleted by its last Release.
template <class Interface, const IID& interfaceId>
class HeapComObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid != IID_IUnknown && iid != interfaceId) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_refCount); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const long left = --m_refCount;
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }
    virtual ~HeapComObject() = default;

private:
    long m_refCount { 0 };
};
} // namespace detail

class KOVA_API CIDataObject : public detail::HeapComObject<IDataObject, IID_IDataObject> {
public:
    // The drop source is kept for the caller; the data object never uses it.
    explicit CIDataObject(CIDropSource* source);
    CIDataObject(const CIDataObject&) = delete;
    CIDataObject& operator=(const CIDataObject&) = delete;

    // IDataObject
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    // release TRUE: the medium is taken over; FALSE: a copy is kept.
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advises) override;

    virtual ~CIDataObject();

    // dst gets its own copy of what src holds (interfaces are shared and AddRef'ed).
    void CopyMedium(STGMEDIUM* dst, STGMEDIUM* src, FORMATETC* format);

private:
    struct MediumRelease {
        void operator()(STGMEDIUM* medium) const;
    };
    using OwnedMedium = std::unique_ptr<STGMEDIUM, MediumRelease>;
    // Room in both lists for one more pair, so that storing it cannot fail half-way.
    bool roomForOneMore();

    CIDropSource* m_dropSource;
    // Entry i of one list belongs to entry i of the other.
    std::vector<std::unique_ptr<FORMATETC>> m_formats;
    std::vector<OwnedMedium> m_media;
};

class KOVA_API CEnumFormatEtc : public detail::HeapComObject<IEnumFORMATETC, IID_IEnumFORMATETC> {
public:
    // Each takes its own copy of the formats (target-device pointers are copied as pointers).
    explicit CEnumFormatEtc(const std::vector<FORMATETC>& formats);
    explicit CEnumFormatEtc(const std::vector<FORMATETC*>& formats);
    CEnumFormatEtc(const CEnumFormatEtc&) = delete;
    CEnumFormatEtc& operator=(const CEnumFormatEtc&) = delete;

    // IEnumFORMATETC
    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* formats, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** copy) override;

    virtual ~CEnumFormatEtc() = default;

private:
    std::vector<FORMATETC> m_formats;
    size_t m_index { 0 };
};

} // namespace KOVA
