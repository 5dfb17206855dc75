#pragma once
// Classes whose deleted objects make a later use crash the test instead of passing.
//
// Poisoned: freed memory is overwritten and kept from reuse until thousands of later deletes,
// so a call through a deleted object's table crashes. The hold is bounded: a long run's heap
// stays flat once it is full.
#include <windows.h>

#include <cstring>
#include <deque>
#include <mutex>
#include <new>

namespace KOVA::test {

template <class Base>
class Poisoned : public Base {
public:
    using Base::Base;
    static void operator delete(void* memory, std::size_t size)
    {
        static std::mutex lock;
        static std::deque<void*> held;
        std::memset(memory, 0xDD, size);
        std::lock_guard<std::mutex> guard(lock);
        held.push_back(memory);
        if (held.size() > kHeld) {
            ::operator delete(held.front());
            held.pop_front();
        }
    }
    static constexpr size_t kHeld = 4096;
};

} // namespace KOVA::test

namespace KOVA::test {

// Stricter: each object gets pages of its own, and a delete makes them inaccessible for good,
// so that any read or write of a deleted object faults at once. For the few objects of a case,
// never for long runs (the pages are never given back).
template <class Base>
class NoAccessAfterDelete : public Base {
public:
    using Base::Base;
    static void* operator new(std::size_t size)
    {
        void* memory = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (!memory)
            throw std::bad_alloc();
        return memory;
    }
    static void operator delete(void* memory, std::size_t size)
    {
        DWORD was = 0;
        VirtualProtect(memory, size, PAGE_NOACCESS, &was);
    }
};

} // namespace KOVA::test
