#include "richtextlines.h"

#include <algorithm>
#include <limits>
#include <new>
#include <stdexcept>

namespace {
constexpr int initialCapacity = 4;
// The block's byte size must fit a signed 32-bit size, as it always had to.
constexpr std::int64_t largestCapacity =
    std::numeric_limits<std::int32_t>::max() / std::int64_t(sizeof(LineRecord));
} // namespace

TLL::TLL() : m_records(std::make_unique<LineRecord[]>(initialCapacity)), m_capacity(initialCapacity)
{
}

std::int64_t TLL::grownCapacity(std::int64_t count)
{
    return (count + 1) / 4 * 4 + count / 32 * 2 + 4;
}

void TLL::setCount(int count)
{
    if (count < 0)
        throw std::out_of_range("negative line count");
    if (count > m_capacity) {
        const std::int64_t capacity = grownCapacity(count);
        if (capacity > largestCapacity)
            throw std::bad_alloc();
        auto grown = std::make_unique<LineRecord[]>(std::size_t(capacity));
        std::copy(m_records.get(), m_records.get() + m_count, grown.get());
        m_records = std::move(grown);
        m_capacity = int(capacity);
    } else if (count > m_count) {
        std::fill(m_records.get() + m_count, m_records.get() + count, LineRecord{});
    }
    m_count = count;
}

int TLL::add(const LineRecord &record)
{
    const int index = m_count;
    setCount(m_count + 1);
    m_records[index] = record;
    return index;
}

LineRecord TLL::get(int index) const
{
    checkIndex(index);
    return m_records[index];
}

void TLL::put(int index, const LineRecord &record)
{
    checkIndex(index);
    m_records[index] = record;
}

void TLL::checkIndex(int index) const
{
    if (index < 0 || index >= m_count)
        throw std::out_of_range("line index outside the line list");
}
