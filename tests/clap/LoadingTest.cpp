// tarvo-lumo.clap as a Windows host loads it (64-bit build, under Wine): from a folder whose name is
// not ASCII, the entry's init given the file's path in UTF-8; loaded a second time in the same
// process while the first is still in use, each load's plug-ins alike and unharmed by the other's
// deinit; paths and files the host cannot use refused in words. And the file host's own float WAV
// reading, which the bit-identity tests rely on, refusing what it cannot read.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "LoadedPlugin.h"
#include "Render.h"
#include "StereoFile.h"

namespace lumo::clap_host {
namespace {

namespace fs = std::filesystem;

const char kFolderName[] = u8"Tarvo Lumo \u00c4\u00d6 \u97f3";  // "Tarvo Lumo ÄÖ 音"

// The plug-in file copied into WORK/<kFolderName>/, its path in UTF-8.
std::string CopyIntoNonAsciiFolder() {
    const fs::path folder = fs::u8path(LUMO_TEST_WORK_DIR) / fs::u8path(kFolderName);
    fs::create_directories(folder);
    const fs::path copy = folder / "tarvo-lumo.clap";
    fs::remove(copy);  // (MinGW's copy_file cannot overwrite)
    fs::copy_file(fs::u8path(LUMO_CLAP_FILE), copy);
    return copy.u8string();
}

StereoAudio Noise(size_t frames) {
    StereoAudio audio;
    audio.rate = 48000;
    uint32_t seed = 1;
    for (size_t i = 0; i < frames; ++i) {
        seed = seed * 1664525u + 1013904223u;
        audio.left.push_back(static_cast<float>(seed >> 8) / 16777216.0f - 0.5f);
        audio.right.push_back(audio.left.back() * -0.5f);
    }
    return audio;
}

// Lumo-31 with Range 12 dB and its 1 kHz band up 30 steps, over in.
StereoAudio RenderLumo31(const LoadedPlugin& loaded, TestHost& host, const StereoAudio& in) {
    RenderSettings settings;
    settings.blockFrames = 256;
    settings.changes = {{0, 0, 12.0}, {0, 19, 30.0}};
    StereoAudio out;
    std::string error;
    EXPECT_TRUE(Render(loaded, host, in, settings, out, error)) << error;
    return out;
}

TEST(ClapLoading, NonAsciiFolderAndASecondLoadInOneProcess) {
    const std::string path = CopyIntoNonAsciiFolder();
    std::string error;
    // What init gets: the path Windows loaded the file from, in UTF-8.
    std::unique_ptr<PluginModule> module = PluginModule::Open(path, error);
    ASSERT_TRUE(module) << error;
    EXPECT_TRUE(fs::equivalent(fs::u8path(module->Path()), fs::u8path(path)));
    EXPECT_NE(module->Path().find(kFolderName), std::string::npos) << module->Path();

    std::unique_ptr<LoadedPlugin> first = LoadedPlugin::Open(path, error);
    ASSERT_TRUE(first) << error;
    std::unique_ptr<LoadedPlugin> second = LoadedPlugin::Open(path, error);
    ASSERT_TRUE(second) << error;
    TestHost firstHost, secondHost;
    ASSERT_TRUE(first->Create("org.tarvo-lumo.lumo-31", firstHost, error)) << error;
    ASSERT_TRUE(second->Create("org.tarvo-lumo.lumo-31", secondHost, error)) << error;

    const StereoAudio in = Noise(6000);
    const StereoAudio fromFirst = RenderLumo31(*first, firstHost, in);
    EXPECT_NE(fromFirst.left, in.left);
    EXPECT_EQ(RenderLumo31(*second, secondHost, in).left, fromFirst.left);
    // The first load's plug-in destroyed and its entry deinitialised: the second goes on alike.
    first.reset();
    const StereoAudio fromSecond = RenderLumo31(*second, secondHost, in);
    EXPECT_EQ(fromSecond.left, fromFirst.left);
    EXPECT_EQ(fromSecond.right, fromFirst.right);
    second.reset();
    module.reset();
    // Unloaded everywhere, the file loads again.
    EXPECT_TRUE(LoadedPlugin::Open(path, error)) << error;
}

TEST(ClapLoading, RefusesWhatItCannotLoad) {
    std::string error;
    EXPECT_FALSE(PluginModule::Open("bad \xff name.clap", error));
    EXPECT_NE(error.find("not UTF-8"), std::string::npos) << error;
    EXPECT_FALSE(PluginModule::Open(std::string(LUMO_TEST_WORK_DIR) + "/missing.clap", error));
    EXPECT_NE(error.find("cannot load"), std::string::npos) << error;
    EXPECT_FALSE(PluginModule::Open(LUMO_VST3_MODULE, error));  // a DLL, but not a CLAP file
    EXPECT_NE(error.find("exports no clap_entry"), std::string::npos) << error;
}

TEST(StereoFileWav, WritesWhatItReadsAndRefusesOtherFiles) {
    const std::string work = std::string(LUMO_TEST_WORK_DIR) + "/" + kFolderName;
    fs::create_directories(fs::u8path(work));
    StereoAudio audio = Noise(1001), back;
    audio.rate = 44100;
    std::string error;
    ASSERT_TRUE(WriteStereoFloat(work + "/noise.wav", audio, error)) << error;
    ASSERT_TRUE(ReadStereo(work + "/noise.wav", back, error)) << error;
    EXPECT_EQ(back.rate, 44100);
    EXPECT_EQ(back.left, audio.left);
    EXPECT_EQ(back.right, audio.right);

    // The same file cut short, then as 16-bit samples: each refused in words.
    std::string bytes;
    {
        std::ifstream file(fs::u8path(work + "/noise.wav"), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(file), {});
    }
    const auto rewrite = [&](const std::string& content) {
        std::ofstream(fs::u8path(work + "/bad.wav"), std::ios::binary) << content;
        return ReadStereo(work + "/bad.wav", back, error);
    };
    EXPECT_FALSE(rewrite(bytes.substr(0, bytes.size() - 3)));
    EXPECT_NE(error.find("ends before its header says"), std::string::npos) << error;
    std::string pcm16 = bytes;
    pcm16[20] = 1;   // PCM
    pcm16[34] = 16;  // bits a sample
    EXPECT_FALSE(rewrite(pcm16));
    EXPECT_NE(error.find("not stereo 32-bit float"), std::string::npos) << error;
    EXPECT_FALSE(rewrite("RIFF"));
    EXPECT_NE(error.find("not a WAV file"), std::string::npos) << error;
}

}  // namespace
}  // namespace lumo::clap_host
