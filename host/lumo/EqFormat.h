// The output format of lumo eq: container from --type or OUT's extension, sample format from
// --bits or kept from the input.
#pragma once

#include <string>

namespace lumo::cli {

// The containers lumo eq writes, by --type name or extension.
constexpr const char* kOutputTypes = "wav, flac, aiff, ogg";

// "wav" (from --type) or ".wav" (an extension) -> the libsndfile major format; 0 if unknown.
int ContainerByName(const std::string& typeOrExtension);

// The extension lumo eq gives a file of this --type ("wav" -> ".wav").
std::string ExtensionOfType(const std::string& type);

// The full libsndfile format: the container, with the sample format of --bits ("16", "24", "32",
// "float"; empty: the input's where the container holds it, else 24 bits for deep input and 16
// for the rest). Throws HostError naming --bits when the container cannot hold it.
int OutputFormat(int container, int inputFormat, const std::string& bits);

// Bits of an integer PCM sample format (8, 16, 24, 32); 0 for float and coded formats.
int PcmBits(int format);

// The bits a format carries, for telling whether writing drops precision: PCM widths, 16 for
// codecs libsndfile decodes to 16-bit values (u-law, A-law, ADPCM, GSM), 32 for the rest.
int PrecisionBits(int format);

}  // namespace lumo::cli
