// The output format of lumo eq: container from --type or OUT's extension, sample format from
// --bits or kept from the input.
#pragma once

#include <sndfile.h>

#include <string>

namespace lumo::cli {

// The containers lumo eq writes, by --type name or extension.
constexpr const char* kOutputTypes = "wav, flac, aiff, ogg, opus, mp3";

// What ContainerByName gives for Opus: OGG holding Opus (plain OGG holds Vorbis).
constexpr int kOpusContainer = SF_FORMAT_OGG | SF_FORMAT_OPUS;

// "wav" (from --type) or ".wav" (an extension) -> the libsndfile major format (kOpusContainer
// for Opus); 0 if unknown.
int ContainerByName(const std::string& typeOrExtension);

// The container OUT ("-": stdout) is written in: --type's if given, else by OUT's extension.
// Throws HostError naming --type or OUT when neither tells.
int OutputContainer(const std::string& output, const std::string& type);

// The container's name in messages: "WAV", "FLAC", "AIFF", "OGG (Vorbis)", "Opus", "MP3".
std::string ContainerName(int container);

// The extension lumo eq gives a file of this --type ("wav" -> ".wav").
std::string ExtensionOfType(const std::string& type);

// The full libsndfile format: the container, with the sample format of --bits ("16", "24", "32",
// "float"), or else the input's encoding where libsndfile writes it into this container, or else
// the natural one: the input's bit depth where it has one, 16 bits for codecs of 16-bit samples,
// else float (24 bits in FLAC); then note says which, in one line. Coded containers (OGG, Opus,
// MP3) take their codec. Throws HostError naming --bits when the container cannot hold it, or
// the rate when the container cannot be written at it.
int OutputFormat(int container, int inputFormat, const std::string& bits, int sampleRateHz,
                 int channels, std::string& note);

// Bits of an integer PCM sample format (8, 16, 24, 32); 0 for float and coded formats.
int PcmBits(int format);

// The bits a format carries, for telling whether writing drops precision: PCM widths, 16 for
// codecs libsndfile decodes to 16-bit values (u-law, A-law, ADPCM, GSM), 32 for the rest.
int PrecisionBits(int format);

}  // namespace lumo::cli
