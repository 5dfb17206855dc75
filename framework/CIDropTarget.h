#pragma once
// The OLE drop target of a window: picks the first accepted clipboard format a drag offers,
// answers the drop effect from the modifier keys, keeps the shell's drop image in step, and
// hands the dropped medium to OnDrop.
//
// The object deriving from it owns it: COM's reference count only records who holds it, and
// the last Release leaves it alive. Everything runs on the window's thread (OLE calls a drop
// target there during the modal drag loop), so the count is a plain counter.
#include "platform/Win32.h"

#include <shlobj.h>

#include <vector>

#include "platform/KovaExport.h"

namespace KOVA {

class KOVA_API CIDropTarget : public IDropTarget {
public:
    explicit CIDropTarget(HWND target = nullptr);
    // A copy is a target of its own: no window, no formats, not registered anywhere.
    CIDropTarget(const CIDropTarget& other);
    CIDropTarget& operator=(const CIDropTarget&) { return *this; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDropTarget
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

    virtual ~CIDropTarget();
    // True when the medium may be released: false means the receiver kept what it holds.
    virtual bool OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD* effect) = 0;

    void SetTargetWnd(HWND window);
    // Formats are tried in the order they were added.
    void AddSuportedFormat(FORMATETC& format);
    // The effect the keys ask for among those the source offers; false when none fits.
    bool QueryDrop(DWORD keyState, DWORD* effect);

protected:
    void ClearSupportedFormats();

private:
    void createDropImageHelper();
    FORMATETC* currentFormat();
    void endDrag();

    long m_refCount { 0 };
    bool m_allowDrop { false };
    IDropTargetHelper* m_dropHelper { nullptr };
    std::vector<FORMATETC> m_formats;
    // An index, not a pointer: adding a format may move the list.
    int m_currentFormat { -1 };
    HWND m_targetWnd { nullptr };
};

} // namespace KOVA
