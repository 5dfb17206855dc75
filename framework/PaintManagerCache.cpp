// PaintManager: the image and font caches.
//
// Lock order: the image lock and the font lock are never held together, and neither is held
// while calling into a control.
#include "framework/PaintManager.h"

#include <shlwapi.h>

#include "framework/AppPaths.h"
#include "framework/LibraryModule.h"
#include "framework/MRender.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
struct FontFile {
    const wchar_t* family;
    const wchar_t* file;
};
const FontFile kFontFolderFiles[] = {
    { kBrandFontFace, L"BRAVIK 1.2.ttf" },
    { L"Alibaba-PuHuiTi", L"Alibaba-PuHuiTi-Regular.ttf" },
    { L"Alibaba-PuHuiTi-Medium", L"Alibaba-PuHuiTi-Medium.ttf" },
};

// The bytes of a resource of the library module; they live as long as the module.
struct ResourceBytes {
    const void* data { nullptr };
    DWORD size { 0 };
};

ResourceBytes libraryResource(UINT id, const wchar_t* type)
{
    HMODULE module = GetLibraryModule();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return {};
    return { data, SizeofResource(module, found) };
}

// A resource that does not decode still comes back as an image carrying the error.
Gdiplus::Image* decodedOrNull(Gdiplus::Image* image)
{
    if (image && image->GetLastStatus() != Gdiplus::Ok) {
        delete image;
        return nullptr;
    }
    return image;
}

// Looks the key up, or loads the image, fills the record and caches it. Nothing is cached
// when the image cannot be had, so a later call tries again.
template <class Key, class Record, class Load>
ImgResInfo* findOrLoad(std::map<Key, Record>& cache, const Key& key, ImgResInfo prototype, Load load)
{
    auto cached = cache.find(key);
    if (cached != cache.end())
        return cached->second.get();
    Record record(new ImgResInfo(std::move(prototype)));
    record->m_pImage = decodedOrNull(load());
    if (!record->m_pImage)
        return nullptr;
    const UINT width = record->m_pImage->GetWidth();
    record->m_nWidth = static_cast<int>(width / static_cast<UINT>(record->m_nFrameCount));
    record->m_nHeight = static_cast<int>(record->m_pImage->GetHeight());
    return cache.emplace(key, std::move(record)).first->second.get();
}
} // namespace

// ---- images

ImgResInfo* PaintManager::AddImgResInfo(const wchar_t* path, int frameCount)
{
    if (!path || frameCount < 1)
        return nullptr;
    ImgResInfo prototype;
    prototype.m_nFrameCount = frameCount;
    prototype.m_strPath = path;
    ScopedLock lock(m_imageLock);
    return findOrLoad(*m_imagesByPath, prototype.m_strPath, prototype,
                      [path] { return MRender::LoadImageFromFile(GetSkinPath() + path); });
}

ImgResInfo* PaintManager::AddImgResInfo(UINT id, CString type, int frameCount, int host)
{
    if (frameCount < 1)
        return nullptr;
    ImgResInfo prototype;
    prototype.m_nFrameCount = frameCount;
    prototype.m_uResID = id;
    HMODULE module = host ? Manager::GetInstance() : GetLibraryModule();
    ScopedLock lock(m_imageLock);
    return findOrLoad(host ? *m_hostImages : *m_libraryImages, id, prototype,
                      [&] { return MRender::LoadImageFromIDResource(id, type, module); });
}

void PaintManager::ClearImgResInfo()
{
    ScopedLock lock(m_imageLock);
    m_imagesByPath->clear();
    m_hostImages->clear();
    m_libraryImages->clear();
}

// ---- fonts

void PaintManager::loadFontFolder()
{
    for (const FontFile& font : kFontFolderFiles) {
        CString path;
        // GetExePath ends in a backslash already; the doubled one is harmless.
        path.Format(L"%s\\font\\%s", GetExePath().GetString(), font.file);
        if (PathFileExistsW(path))
            AddTempFont(font.family, path);
    }
}

void PaintManager::AddGDITempFont(UINT id)
{
    const ResourceBytes font = libraryResource(id, L"ttf");
    if (!font.data)
        return;
    ScopedLock lock(m_fontLock);
    m_fonts->registerWithGdi(font.data, font.size);
}

Gdiplus::FontFamily* PaintManager::AddTempFont(const wchar_t* family, const wchar_t* path)
{
    if (!family || !path)
        return nullptr;
    ScopedLock lock(m_fontLock);
    return m_fonts->addFile(family, path);
}

Gdiplus::FontFamily* PaintManager::AddTempFont(const wchar_t* family, UINT id)
{
    const ResourceBytes font = libraryResource(id, L"ttf");
    if (!family || !font.data)
        return nullptr;
    ScopedLock lock(m_fontLock);
    return m_fonts->addMemory(family, font.data, static_cast<int>(font.size));
}

Gdiplus::FontFamily* PaintManager::FindTempFont(const wchar_t* family)
{
    if (!family)
        return nullptr;
    ScopedLock lock(m_fontLock);
    return m_fonts->find(family);
}

Gdiplus::FontFamily* PaintManager::FindTempFontOrFallback(const wchar_t* family)
{
    ScopedLock lock(m_fontLock);
    return m_fonts->findOrFallback(family ? family : L"");
}

void PaintManager::ClearTempFont()
{
    ScopedLock lock(m_fontLock);
    m_fonts->clear();
}

} // namespace KOVA
