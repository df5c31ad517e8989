// The state a song keeps for each machine: always 10 bytes, written by SaveState as six Write
// calls and read back by Initialise in the same order. Parameter values are not part of it.
//
//   offset size  field
//   0      1     version, kSavedStateVersion
//   1      2     window left    } the graph window's outer rectangle, each the low 16 bits of the
//   3      2     window top     } value as a signed little-endian number, read back
//   5      2     window width   } sign-extended
//   7      2     window height  }
//   9      1     window open, 0 or 1 (read: anything but 0 is open)
#pragma once

namespace lumo::abi {

constexpr unsigned char kSavedStateVersion = 1;
constexpr int kSavedStateBytes = 10;

}  // namespace lumo::abi
