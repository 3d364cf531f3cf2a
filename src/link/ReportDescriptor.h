// The input report length of a HID interface, taken from its report descriptor (hidapi does not
// report it on this platform).
#pragma once

#include <cstddef>
#include <cstdint>

namespace kv58 {

// Bytes of the longest input report the descriptor declares, the report ID byte included when the
// descriptor uses report IDs; 0 when it declares no input report or is malformed.
int inputReportLengthFromDescriptor(const std::uint8_t* descriptor, std::size_t size);

} // namespace kv58
