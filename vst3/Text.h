// Text across the VST3 boundary: the host's UTF-16 fields (String128) and fixed char fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumo::vst3 {

// UTF-8 into a UTF-16 field of `capacity` units, cut at a whole character, NUL-terminated.
void CopyToUtf16(const char* utf8, int16_t* out, std::size_t capacity);

// A NUL-terminated UTF-16 text of at most `capacity` units as UTF-8 (unpaired surrogates as '?').
std::string Utf8OfUtf16(const int16_t* text, std::size_t capacity);

// Into a char field of `capacity` bytes, cut to fit, NUL-terminated.
void CopyToField(const char* text, char* out, std::size_t capacity);

}  // namespace lumo::vst3
