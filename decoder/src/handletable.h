// Live decoder handles. A handle is a slot number plus a generation, so a released or made-up
// handle is recognised and never reaches a decoder.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "decoder.h"

namespace norl {

class HandleTable {
public:
    // 0 when no handle can be made.
    NpHandle add(std::shared_ptr<Decoder> decoder);
    std::shared_ptr<Decoder> find(NpHandle handle) const;
    std::shared_ptr<Decoder> remove(NpHandle handle);

private:
    struct Slot {
        uint16_t generation = 0;
        std::shared_ptr<Decoder> decoder;
    };
    bool indexOf(NpHandle handle, size_t &index) const;

    mutable std::mutex m_mutex;
    std::vector<Slot> m_slots;
};

HandleTable &handleTable();

} // namespace norl
