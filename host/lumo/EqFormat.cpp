#include "EqFormat.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

#include "lumo/host/PluginLibrary.h"
#include "lumo/host/Text.h"

namespace lumo::cli {
namespace {

bool Holds(int format) {
    SF_INFO probe{};
    probe.channels = 1;
    probe.samplerate = 44100;
    probe.format = format;
    return sf_format_check(&probe) != 0;
}

// A file that takes every byte and keeps none, for asking libsndfile whether it writes a format.
sf_count_t NullLength(void* position) { return *static_cast<sf_count_t*>(position); }
sf_count_t NullSeek(sf_count_t offset, int whence, void* position) {
    sf_count_t& at = *static_cast<sf_count_t*>(position);
    at = whence == SEEK_SET ? offset : at + offset;
    return at;
}
sf_count_t NullRead(void*, sf_count_t, void*) { return 0; }
sf_count_t NullWrite(const void*, sf_count_t count, void* position) {
    *static_cast<sf_count_t*>(position) += count;
    return count;
}
sf_count_t NullTell(void* position) { return *static_cast<sf_count_t*>(position); }

// Whether libsndfile opens this format for writing at this rate (sf_format_check accepts some
// pairs it cannot write, such as MP3 samples in WAV).
bool Writes(int format, int sampleRateHz, int channels) {
    SF_INFO info{};
    info.samplerate = sampleRateHz;
    info.channels = channels;
    info.format = format;
    if (!sf_format_check(&info)) return false;
    SF_VIRTUAL_IO null = {NullLength, NullSeek, NullRead, NullWrite, NullTell};
    sf_count_t position = 0;
    SNDFILE* file = sf_open_virtual(&null, SFM_WRITE, &info, &position);
    if (file == nullptr) return false;
    sf_close(file);
    return true;
}

std::string EncodingName(int format) {
    const int subtype = format & SF_FORMAT_SUBMASK;
    if (PcmBits(format) > 0) return std::to_string(PcmBits(format)) + "-bit";
    if (subtype == SF_FORMAT_FLOAT) return "32-bit float";
    if (subtype == SF_FORMAT_DOUBLE) return "64-bit float";
    SF_FORMAT_INFO info{};
    info.format = subtype;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) == 0 && info.name != nullptr)
        return info.name;
    return "its encoding";
}


}  // namespace

int ContainerByName(const std::string& typeOrExtension) {
    std::string name = host::ToLower(typeOrExtension);
    if (!name.empty() && name[0] == '.') name.erase(0, 1);
    if (name == "wav") return SF_FORMAT_WAV;
    if (name == "flac") return SF_FORMAT_FLAC;
    if (name == "aif" || name == "aiff") return SF_FORMAT_AIFF;
    if (name == "ogg" || name == "oga") return SF_FORMAT_OGG;
    if (name == "opus") return kOpusContainer;
    if (name == "mp3") return SF_FORMAT_MPEG;
    return 0;
}

int OutputContainer(const std::string& output, const std::string& type) {
    if (!type.empty()) {
        const int container = ContainerByName(type);
        if (container == 0)
            throw host::HostError("--type " + type + ": expected one of " + kOutputTypes);
        return container;
    }
    if (output == "-") throw host::HostError("writing to stdout (-) needs --type (" + std::string(kOutputTypes) + ")");
    const int container = ContainerByName(std::filesystem::path(output).extension().string());
    if (container == 0)
        throw host::HostError("cannot tell the output format from '" + output +
                              "': use .wav, .flac, .aiff, .ogg, .opus or .mp3, or --type");
    return container;
}

std::string ContainerName(int container) {
    switch (container) {
        case SF_FORMAT_WAV: return "WAV";
        case SF_FORMAT_FLAC: return "FLAC";
        case SF_FORMAT_AIFF: return "AIFF";
        case SF_FORMAT_OGG: return "OGG (Vorbis)";
        case kOpusContainer: return "Opus";
        case SF_FORMAT_MPEG: return "MP3";
        default: return "this output format";
    }
}

std::string ExtensionOfType(const std::string& type) { return "." + host::ToLower(type); }

int OutputFormat(int container, int inputFormat, const std::string& bits, int sampleRateHz,
                 int channels, std::string& note) {
    note.clear();
    const bool coded = container == SF_FORMAT_OGG || container == kOpusContainer || container == SF_FORMAT_MPEG;
    if (coded) {
        if (!bits.empty())
            throw host::HostError("--bits " + bits + " does not apply to " + ContainerName(container) + " output");
        const int format = container == SF_FORMAT_OGG ? SF_FORMAT_OGG | SF_FORMAT_VORBIS
                           : container == kOpusContainer ? container
                                                         : SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
        if (Writes(format, sampleRateHz, channels)) return format;
        const char* rates = container == kOpusContainer ? "8, 12, 16, 24 or 48 kHz"
                            : container == SF_FORMAT_MPEG
                                ? "8, 11.025, 12, 16, 22.05, 24, 32, 44.1 or 48 kHz"
                                : "the rates its encoder supports";
        throw host::HostError(ContainerName(container) + " output takes " + rates + ", not " +
                              std::to_string(sampleRateHz) + " Hz; choose another container");
    }
    if (!bits.empty()) {
        const int subtype = bits == "16"      ? SF_FORMAT_PCM_16
                            : bits == "24"    ? SF_FORMAT_PCM_24
                            : bits == "32"    ? SF_FORMAT_PCM_32
                            : bits == "float" ? SF_FORMAT_FLOAT
                                              : 0;
        if (subtype == 0) throw host::HostError("--bits " + bits + ": expected 16, 24, 32 or float");
        if (!Holds(container | subtype))
            throw host::HostError("--bits " + bits + " is not possible in " +
                                  (container == SF_FORMAT_FLAC ? "FLAC (16 or 24 bits)"
                                                               : "this output format"));
        return container | subtype;
    }
    const int subtype = inputFormat & SF_FORMAT_SUBMASK;
    if (Writes(container | subtype, sampleRateHz, channels)) return container | subtype;
    // The natural encoding: the input's bit depth, else float (24 bits where float is not held).
    int natural = PcmBits(subtype) == 8 ? SF_FORMAT_PCM_16
                  : PcmBits(subtype) > 0 ? (PcmBits(subtype) == 16 ? SF_FORMAT_PCM_16
                                            : PcmBits(subtype) == 24 ? SF_FORMAT_PCM_24
                                                                     : SF_FORMAT_PCM_32)
                  : PrecisionBits(subtype) == 16 ? SF_FORMAT_PCM_16
                                                 : SF_FORMAT_FLOAT;
    if (PcmBits(subtype) == 8 && Holds(container | SF_FORMAT_PCM_S8)) natural = SF_FORMAT_PCM_S8;
    if (PcmBits(subtype) == 8 && Holds(container | SF_FORMAT_PCM_U8)) natural = SF_FORMAT_PCM_U8;
    if (!Holds(container | natural)) natural = SF_FORMAT_PCM_24;
    note = "the input's " + EncodingName(inputFormat) + " samples do not go into " +
               ContainerName(container) + "; writing " + EncodingName(container | natural);
    return container | natural;
}

int PcmBits(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_PCM_S8:
        case SF_FORMAT_PCM_U8: return 8;
        case SF_FORMAT_PCM_16: return 16;
        case SF_FORMAT_PCM_24: return 24;
        case SF_FORMAT_PCM_32: return 32;
        default: return 0;
    }
}

int PrecisionBits(int format) {
    if (PcmBits(format) > 0) return PcmBits(format);
    switch (format & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_ULAW:
        case SF_FORMAT_ALAW:
        case SF_FORMAT_IMA_ADPCM:
        case SF_FORMAT_MS_ADPCM:
        case SF_FORMAT_GSM610: return 16;
        default: return 32;
    }
}

}  // namespace lumo::cli
