#include "vst3/Text.h"

#include <cstring>

namespace lumo::vst3 {
namespace {

// The next code point of UTF-8 at `text`, advancing it; malformed bytes read as '?'.
char32_t NextCodePoint(const unsigned char*& text) {
    const unsigned char lead = *text++;
    if (lead < 0x80) return lead;
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0) return U'?';
    char32_t code = lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if ((*text & 0xC0) != 0x80) return U'?';
        code = (code << 6) | (*text++ & 0x3F);
    }
    return code;
}

void AppendUtf8(char32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

void CopyToUtf16(const char* utf8, int16_t* out, std::size_t capacity) {
    if (capacity == 0) return;
    std::size_t used = 0;
    const unsigned char* text = reinterpret_cast<const unsigned char*>(utf8 != nullptr ? utf8 : "");
    while (*text != 0) {
        const char32_t code = NextCodePoint(text);
        const std::size_t units = code >= 0x10000 ? 2 : 1;
        if (used + units >= capacity) break;
        if (units == 2) {
            const char32_t rest = code - 0x10000;
            out[used++] = static_cast<int16_t>(0xD800 + (rest >> 10));
            out[used++] = static_cast<int16_t>(0xDC00 + (rest & 0x3FF));
        } else {
            out[used++] = static_cast<int16_t>(code);
        }
    }
    out[used] = 0;
}

std::string Utf8OfUtf16(const int16_t* text, std::size_t capacity) {
    std::string out;
    for (std::size_t i = 0; text != nullptr && i < capacity && text[i] != 0; ++i) {
        const char32_t unit = static_cast<uint16_t>(text[i]);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < capacity) {
            const char32_t low = static_cast<uint16_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), out);
                ++i;
                continue;
            }
        }
        AppendUtf8(unit >= 0xD800 && unit < 0xE000 ? U'?' : unit, out);
    }
    return out;
}

void CopyToField(const char* text, char* out, std::size_t capacity) {
    if (capacity == 0) return;
    const std::size_t length = text != nullptr ? std::strlen(text) : 0;
    const std::size_t kept = length < capacity ? length : capacity - 1;
    if (kept > 0) std::memcpy(out, text, kept);
    out[kept] = '\0';
}

}  // namespace lumo::vst3
