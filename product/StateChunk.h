// The settings a plug-in host keeps in a session for one instance (VST3 component and controller
// state, CLAP state): the machine's parameter values in a small versioned layout of our own.
//
//   bytes 0-3   "TLum"
//   byte 4      layout version, 1
//   byte 5      the machine's band count (31, 20, 15): a chunk of another machine is refused
//   byte 6      n, the parameter count
//   7 .. 6 + n  each parameter's raw value, in parameter order
#pragma once

#include <cstddef>
#include <cstdint>

#include "product/Parameters.h"

namespace lumo::product {

constexpr std::size_t kStateChunkHeaderBytes = 7;
constexpr std::size_t kMaxStateChunkBytes = kStateChunkHeaderBytes + kMaxParameters;

// Writes the chunk of `raw` (ParameterCount(d) values) into `out`, which holds at least
// kMaxStateChunkBytes; returns its length.
std::size_t WriteStateChunk(const Deliverable& d, const int* raw, std::uint8_t* out);

// Reads a chunk of this machine into `raw` (ParameterCount(d) values). A short, long, damaged,
// foreign or newer chunk, or one with a value outside its parameter's range, is refused: false,
// and `raw` untouched.
bool ReadStateChunk(const Deliverable& d, const std::uint8_t* chunk, std::size_t bytes, int* raw);

}  // namespace lumo::product
