#pragma once
// An item list of heap records: a pointer to a record stays valid while records are added or
// other records removed. A copy of the list holds copies of the records, so two owners never
// share one record; what a record's copy takes is the record type's own rule.
#include <memory>
#include <vector>

namespace KOVA {

template <class Record>
class RecordList {
public:
    RecordList() = default;
    RecordList(const RecordList& other) { copyFrom(other); }
    RecordList& operator=(const RecordList& other)
    {
        if (this != &other) {
            m_records.clear();
            copyFrom(other);
        }
        return *this;
    }

    int Count() const { return static_cast<int>(m_records.size()); }
    bool Holds(int index) const { return index >= 0 && index < Count(); }
    Record& operator[](int index) const { return *m_records[static_cast<size_t>(index)]; }
    // Null outside 0..count−1.
    Record* At(int index) const { return Holds(index) ? m_records[static_cast<size_t>(index)].get() : nullptr; }
    // A new default record at the end, filled in place by the caller.
    Record& AppendNew()
    {
        m_records.push_back(std::make_unique<Record>());
        return *m_records.back();
    }
    void Erase(int index) { m_records.erase(m_records.begin() + index); }
    void Clear() { m_records.clear(); }

    auto begin() const { return m_records.begin(); }
    auto end() const { return m_records.end(); }

private:
    void copyFrom(const RecordList& other)
    {
        m_records.reserve(other.m_records.size());
        for (const auto& record : other.m_records)
            m_records.push_back(std::make_unique<Record>(*record));
    }

    std::vector<std::unique_ptr<Record>> m_records;
};

} // namespace KOVA
