// Byte arrays that carry frames, data parts and addresses through the program.
#pragma once

#include <cstdint>
#include <vector>

namespace kv {

// A whole frame, the data part of one, a received chunk or a configuration block.
using TDataPack = std::vector<std::uint8_t>;

// A device address: four bytes, most significant first.
using TAddress = std::vector<std::uint8_t>;

}  // namespace kv
