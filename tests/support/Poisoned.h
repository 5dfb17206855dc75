#pragma once
// A class whose freed memory is overwritten and kept from reuse until thousands of later
// deletes: a use of a deleted object within that time crashes the test instead of passing.
// The hold is bounded, so a long run's heap stays flat once it is full.
#include <cstring>
#include <deque>
#include <mutex>

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
