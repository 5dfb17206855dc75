#pragma once
// What a test drops on a drop target: a data object holding the offered media, built in one
// call, and the references others hold on a target (OLE holds one while it is registered).
#include <cstring>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "KOVA.h"

namespace KOVA::test {

struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
using DataObject = std::unique_ptr<CIDataObject, ComRelease>;

inline FORMATETC formatOf(CLIPFORMAT clipFormat, DWORD tymed, DWORD aspect = DVASPECT_CONTENT)
{
    return FORMATETC { clipFormat, nullptr, aspect, -1, tymed };
}

struct Offer {
    CLIPFORMAT format;
    DWORD tymed;
    HANDLE handle;
};

// The data object takes the handle over and frees it with its medium.
inline void put(CIDataObject& data, const Offer& offer)
{
    FORMATETC format = formatOf(offer.format, offer.tymed);
    STGMEDIUM medium { offer.tymed, { static_cast<HBITMAP>(offer.handle) }, nullptr };
    EXPECT_EQ(S_OK, data.SetData(&format, &medium, TRUE));
}

inline DataObject offering(const std::vector<Offer>& offers)
{
    DataObject data(new CIDataObject(nullptr));
    data->AddRef();
    for (const Offer& offer : offers)
        put(*data, offer);
    return data;
}

inline HGLOBAL globalOf(const void* bytes, size_t size)
{
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(global), bytes, size);
    GlobalUnlock(global);
    return global;
}

inline ULONG heldByOthers(IDropTarget* target)
{
    const ULONG held = target->AddRef() - 1;
    target->Release();
    return held;
}

} // namespace KOVA::test
