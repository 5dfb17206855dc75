#pragma once
// An array whose last element ends a page, the next page inaccessible: a read or write one
// element past its end faults at once instead of passing unseen.
#include <windows.h>

#include <cstddef>
#include <new>

namespace KOVA::test {

template <class T>
class PageEndBuffer {
public:
    explicit PageEndBuffer(size_t count) : m_count(count)
    {
        const size_t bytes = count * sizeof(T);
        const size_t pages = (bytes + kPage - 1) / kPage + 1;
        m_base = static_cast<char*>(VirtualAlloc(nullptr, pages * kPage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (!m_base)
            throw std::bad_alloc();
        DWORD was = 0;
        VirtualProtect(m_base + (pages - 1) * kPage, kPage, PAGE_NOACCESS, &was);
        m_data = reinterpret_cast<T*>(m_base + (pages - 1) * kPage - bytes);
        for (size_t i = 0; i < count; ++i)
            new (m_data + i) T();
    }
    ~PageEndBuffer() { VirtualFree(m_base, 0, MEM_RELEASE); }
    PageEndBuffer(const PageEndBuffer&) = delete;
    PageEndBuffer& operator=(const PageEndBuffer&) = delete;

    T* data() { return m_data; }
    size_t size() const { return m_count; }
    T& operator[](size_t i) { return m_data[i]; }

private:
    static constexpr size_t kPage = 4096;
    size_t m_count;
    char* m_base { nullptr };
    T* m_data { nullptr };
};

} // namespace KOVA::test
