// Running the lumo command-line tool as a user runs it, in a folder of its own per test, and
// reading the audio files it writes.
#pragma once

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace lumo::clitest {

namespace fs = std::filesystem;

constexpr int kSampleRateHz = 44100;
constexpr double kPi = 3.14159265358979323846;

struct CommandRun {
    int exitCode;
    std::string out;
    std::string err;
};

inline std::string ReadText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class CliTest : public testing::Test {
protected:
    void SetUp() override {
        // One folder per test and process: builds whose tests run at once share no folder.
        dir_ = fs::path(testing::TempDir()) /
               ("lumo-cli-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) +
                "-" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs `lumo arguments` through the shell (so arguments may hold pipes and redirections
    // of their own) with the build's plug-ins.
    CommandRun Lumo(const std::string& arguments) { return Shell("'" LUMO_CLI_PATH "' " + arguments); }
    CommandRun Shell(const std::string& command) {
        const fs::path out = dir_ / "stdout.txt", err = dir_ / "stderr.txt";
        const std::string line = "cd '" + dir_.string() + "' && export LUMO_PLUGIN_DIR='" LUMO_TEST_PLUGIN_DIR
                                 "' && { " + command + " ; } >'" + out.string() + "' 2>'" + err.string() + "'";
        const int status = std::system(line.c_str());
        CommandRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(out), ReadText(err)};
        fs::remove(out);
        fs::remove(err);
        return run;
    }
    std::string Path(const std::string& name) { return (dir_ / name).string(); }
    std::string Quoted(const std::string& name) { return "'" + Path(name) + "'"; }

    void WriteSamples(const std::string& name, int format, int channels, const std::vector<float>& samples,
                      int sampleRateHz = kSampleRateHz) {
        SF_INFO info{};
        info.samplerate = sampleRateHz;
        info.channels = channels;
        info.format = format;
        SNDFILE* file = sf_open(Path(name).c_str(), SFM_WRITE, &info);
        ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
        sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size() / channels));
        sf_close(file);
    }
    // Writes frames of a sine (same on every channel).
    void WriteSine(const std::string& name, int format, int channels, int frames, double frequencyHz,
                   double amplitude, int sampleRateHz = kSampleRateHz) {
        std::vector<float> samples(static_cast<size_t>(frames) * channels);
        for (int i = 0; i < frames; ++i)
            for (int c = 0; c < channels; ++c)
                samples[i * channels + c] =
                    static_cast<float>(amplitude * std::sin(2 * kPi * frequencyHz * i / sampleRateHz));
        WriteSamples(name, format, channels, samples, sampleRateHz);
    }
    struct Audio {
        SF_INFO info{};
        std::vector<float> samples;
        std::vector<double> wide;  // the same, as doubles (exact for 32-bit integers too)
    };
    Audio Read(const std::string& name) {
        Audio audio;
        SNDFILE* file = sf_open(Path(name).c_str(), SFM_READ, &audio.info);
        EXPECT_NE(file, nullptr) << name;
        if (file == nullptr) return audio;
        audio.wide.resize(static_cast<size_t>(audio.info.frames) * audio.info.channels);
        sf_readf_double(file, audio.wide.data(), audio.info.frames);
        audio.samples.assign(audio.wide.begin(), audio.wide.end());
        sf_close(file);
        return audio;
    }
    // Files in the test folder, apart from the given ones.
    std::vector<std::string> OtherFiles(const std::vector<std::string>& known, const fs::path& folder = {}) {
        std::vector<std::string> others;
        for (const auto& entry : fs::directory_iterator(folder.empty() ? dir_ : folder)) {
            const std::string name = entry.path().filename().string();
            if (std::find(known.begin(), known.end(), name) == known.end()) others.push_back(name);
        }
        return others;
    }
    static void ExpectOneErrorLine(const CommandRun& run, const std::string& part) {
        EXPECT_NE(run.exitCode, 0);
        ASSERT_FALSE(run.err.empty());
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
        EXPECT_NE(run.err.find(part), std::string::npos) << run.err;
    }
    static bool Contains(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }

    fs::path dir_;
};

}  // namespace lumo::clitest
