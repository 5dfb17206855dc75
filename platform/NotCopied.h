#pragma once
// A member that a copy of its owner does not share: the copy starts with a default value
// and an assignment keeps the target's own. The exported classes promise member-wise
// copies; owned pointers, handles and locks must never be duplicated by one.
#include <utility>

template <class T>
class NotCopied {
public:
    NotCopied() = default;
    explicit NotCopied(T value) : m_value(std::move(value)) {}
    NotCopied(const NotCopied&) : m_value() {}
    NotCopied& operator=(const NotCopied&) { return *this; }

    T& get() { return m_value; }
    const T& get() const { return m_value; }
    T& operator*() { return m_value; }
    const T& operator*() const { return m_value; }
    T* operator->() { return &m_value; }
    const T* operator->() const { return &m_value; }

private:
    T m_value {};
};
