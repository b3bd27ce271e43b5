#include "handletable.h"

namespace norl {
namespace {
constexpr size_t MaxHandles = 0xffff;
}

bool HandleTable::indexOf(NpHandle handle, size_t &index) const
{
    index = (handle & 0xffff) - 1;
    uint16_t generation = uint16_t(handle >> 16);
    return handle != 0 && index < m_slots.size() && m_slots[index].decoder &&
           m_slots[index].generation == generation;
}

NpHandle HandleTable::add(std::shared_ptr<Decoder> decoder)
{
    std::lock_guard lock(m_mutex);
    size_t index = 0;
    while (index < m_slots.size() && m_slots[index].decoder)
        ++index;
    if (index == m_slots.size()) {
        if (index >= MaxHandles)
            return 0;
        m_slots.emplace_back();
    }
    Slot &slot = m_slots[index];
    slot.decoder = std::move(decoder);
    return (NpHandle(slot.generation) << 16) | NpHandle(index + 1);
}

std::shared_ptr<Decoder> HandleTable::find(NpHandle handle) const
{
    std::lock_guard lock(m_mutex);
    size_t index;
    return indexOf(handle, index) ? m_slots[index].decoder : nullptr;
}

std::shared_ptr<Decoder> HandleTable::remove(NpHandle handle)
{
    std::lock_guard lock(m_mutex);
    size_t index;
    if (!indexOf(handle, index))
        return nullptr;
    Slot &slot = m_slots[index];
    ++slot.generation; // the old handle is stale from now on
    return std::move(slot.decoder);
}

// Destroyed when the library is unloaded, which also ends the streams a host left open.
HandleTable &handleTable()
{
    static HandleTable table;
    return table;
}

} // namespace norl
