// The laid-out lines of a rich text caption: one fixed 24-byte record per line, kept in one
// growable block so that painting can jump straight to any line.
#pragma once

#include <cstdint>
#include <memory>

struct LineRecord {
    std::int32_t start = 0;       // caption index of the line's first character
    std::int32_t end = 0;         // one past the last character; hard breaks belong to no line
    std::int32_t width = 0;       // pixels, trailing blanks left out
    std::int32_t spaces = 0;      // blanks that justification may stretch; 0: never stretch
    std::int32_t justifyFrom = 0; // caption index from which blanks are stretched
    std::int32_t style = 0;       // style state at the line's start, in the low byte

    friend bool operator==(const LineRecord &, const LineRecord &) = default;
};
static_assert(sizeof(LineRecord) == 24, "line records are six 32-bit fields");

// TLL: the line list. Starts with room for 4 records and grows in steps that widen with its size.
// Running out of memory throws std::bad_alloc; an index outside the count throws
// std::out_of_range.
class TLL {
public:
    TLL();

    int count() const { return m_count; }
    int capacity() const { return m_capacity; }

    // Grows the block when `count` exceeds the capacity; new records are zero.
    void setCount(int count);
    // Appends a record and returns its index.
    int add(const LineRecord &record);
    LineRecord get(int index) const;
    void put(int index, const LineRecord &record);

    // The capacity chosen when the count must grow to `count`.
    static std::int64_t grownCapacity(std::int64_t count);

private:
    void checkIndex(int index) const;

    std::unique_ptr<LineRecord[]> m_records;
    int m_count = 0;
    int m_capacity = 0;
};
