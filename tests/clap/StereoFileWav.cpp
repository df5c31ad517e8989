// The audio files of the file host where there is no libsndfile (the Windows build): stereo 32-bit
// float WAVs only, read and written here, with paths in UTF-8 (opened by their UTF-16 name on
// Windows). Reads the chunks libsndfile and the usual tools write (fmt as IEEE float or its
// WAVE_FORMAT_EXTENSIBLE form, fact, PEAK, LIST...); anything else is refused in one line.
#include "StereoFile.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace lumo::clap_host {
namespace {

constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;

uint32_t Le32(const unsigned char* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}
uint16_t Le16(const unsigned char* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

void PutLe(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
}
void Put32(std::string& out, uint32_t value) { PutLe(out, value, 4); }
void Put16(std::string& out, uint16_t value) { PutLe(out, value, 2); }

bool ReadWhole(const std::string& path, std::string& bytes) {
    std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
    if (!file) return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

}  // namespace

bool ReadStereo(const std::string& path, StereoAudio& audio, std::string& error) {
    std::string bytes;
    if (!ReadWhole(path, bytes)) {
        error = "cannot read " + path;
        return false;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) {
        error = path + " is not a WAV file";
        return false;
    }
    bool haveFormat = false;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const uint32_t size = Le32(data + at + 4);
        const unsigned char* body = data + at + 8;
        const size_t available = bytes.size() - at - 8;
        if (std::memcmp(data + at, "fmt ", 4) == 0 && size >= 16 && available >= 16) {
            const uint16_t format = Le16(body);
            const bool isFloat = format == kFormatFloat ||
                                 (format == kFormatExtensible && size >= 26 && available >= 26 && Le16(body + 24) == kFormatFloat);
            if (!isFloat || Le16(body + 2) != 2 || Le16(body + 14) != 32) {
                error = path + " is not stereo 32-bit float";
                return false;
            }
            audio.rate = static_cast<int>(Le32(body + 4));
            haveFormat = true;
        } else if (std::memcmp(data + at, "data", 4) == 0) {
            if (!haveFormat) break;
            if (size > available) {
                error = path + " ends before its header says";
                return false;
            }
            const size_t frames = size / 8;
            audio.left.resize(frames);
            audio.right.resize(frames);
            for (size_t i = 0; i < frames; ++i) {
                std::memcpy(&audio.left[i], body + 8 * i, 4);
                std::memcpy(&audio.right[i], body + 8 * i + 4, 4);
            }
            return true;
        }
        at += 8 + static_cast<size_t>(size) + (size & 1);  // chunks are padded to even sizes
    }
    error = path + " has no " + (haveFormat ? "data" : "fmt") + " chunk where a WAV file has it";
    return false;
}

bool WriteStereoFloat(const std::string& path, const StereoAudio& audio, std::string& error) {
    const uint64_t dataBytes = static_cast<uint64_t>(audio.left.size()) * 8;
    if (dataBytes > 0xFFFFFFFFull - 58) {
        error = "cannot write " + path + ": too long for a WAV file";
        return false;
    }
    std::string out;
    out += "RIFF";
    Put32(out, static_cast<uint32_t>(50 + dataBytes));
    out += "WAVEfmt ";
    Put32(out, 18);
    Put16(out, kFormatFloat);
    Put16(out, 2);                                   // channels
    Put32(out, static_cast<uint32_t>(audio.rate));
    Put32(out, static_cast<uint32_t>(audio.rate) * 8);  // bytes a second
    Put16(out, 8);                                   // bytes a frame
    Put16(out, 32);                                  // bits a sample
    Put16(out, 0);                                   // no extension
    out += "fact";
    Put32(out, 4);
    Put32(out, static_cast<uint32_t>(audio.left.size()));
    out += "data";
    Put32(out, static_cast<uint32_t>(dataBytes));
    const size_t header = out.size();
    out.resize(header + dataBytes);
    for (size_t i = 0; i < audio.left.size(); ++i) {
        std::memcpy(&out[header + 8 * i], &audio.left[i], 4);
        std::memcpy(&out[header + 8 * i + 4], &audio.right[i], 4);
    }
    std::ofstream file(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    file.close();
    if (!file) {
        error = "cannot write all of " + path;
        return false;
    }
    return true;
}

}  // namespace lumo::clap_host
