#include "EqFormat.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>

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

}  // namespace

int ContainerByName(const std::string& typeOrExtension) {
    std::string name = host::ToLower(typeOrExtension);
    if (!name.empty() && name[0] == '.') name.erase(0, 1);
    if (name == "wav") return SF_FORMAT_WAV;
    if (name == "flac") return SF_FORMAT_FLAC;
    if (name == "aif" || name == "aiff") return SF_FORMAT_AIFF;
    if (name == "ogg" || name == "oga") return SF_FORMAT_OGG;
    return 0;
}

std::string ExtensionOfType(const std::string& type) { return "." + host::ToLower(type); }

int OutputFormat(int container, int inputFormat, const std::string& bits) {
    if (container == SF_FORMAT_OGG) {
        if (!bits.empty())
            throw host::HostError("--bits " + bits + " does not apply to OGG (Vorbis) output");
        return container | SF_FORMAT_VORBIS;
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
    if (Holds(container | subtype)) return container | subtype;
    const bool deep = PcmBits(inputFormat) > 16 || subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE;
    return container | (deep ? SF_FORMAT_PCM_24 : SF_FORMAT_PCM_16);
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
