// The lumo command-line tool, run as a user runs it.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>

#include <algorithm>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kSampleRateHz = 44100;
constexpr double kPi = 3.14159265358979323846;

struct CommandRun {
    int exitCode;
    std::string out;
    std::string err;
};

std::string ReadText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class CliTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::path(testing::TempDir()) /
               ("lumo-cli-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    CommandRun Lumo(const std::string& arguments) {
        const fs::path out = dir_ / "stdout.txt", err = dir_ / "stderr.txt";
        const std::string command = "LUMO_PLUGIN_DIR='" LUMO_TEST_PLUGIN_DIR "' '" LUMO_CLI_PATH "' " +
                                    arguments + " >'" + out.string() + "' 2>'" + err.string() + "'";
        const int status = std::system(command.c_str());
        CommandRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(out), ReadText(err)};
        fs::remove(out);
        fs::remove(err);
        return run;
    }
    std::string Path(const std::string& name) { return (dir_ / name).string(); }
    std::string Quoted(const std::string& name) { return "'" + Path(name) + "'"; }

    // Writes frames of a sine (same on every channel).
    void WriteSine(const std::string& name, int format, int channels, int frames, double frequencyHz,
                   double amplitude) {
        SF_INFO info{};
        info.samplerate = kSampleRateHz;
        info.channels = channels;
        info.format = format;
        SNDFILE* file = sf_open(Path(name).c_str(), SFM_WRITE, &info);
        ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
        std::vector<float> samples(static_cast<size_t>(frames) * channels);
        for (int i = 0; i < frames; ++i)
            for (int c = 0; c < channels; ++c)
                samples[i * channels + c] =
                    static_cast<float>(amplitude * std::sin(2 * kPi * frequencyHz * i / kSampleRateHz));
        sf_writef_float(file, samples.data(), frames);
        sf_close(file);
    }
    struct Audio {
        SF_INFO info{};
        std::vector<float> samples;
    };
    Audio Read(const std::string& name) {
        Audio audio;
        SNDFILE* file = sf_open(Path(name).c_str(), SFM_READ, &audio.info);
        EXPECT_NE(file, nullptr) << name;
        if (file == nullptr) return audio;
        audio.samples.resize(static_cast<size_t>(audio.info.frames) * audio.info.channels);
        sf_readf_float(file, audio.samples.data(), audio.info.frames);
        sf_close(file);
        return audio;
    }
    // Files in the test folder, apart from the given ones.
    std::vector<std::string> OtherFiles(const std::vector<std::string>& known) {
        std::vector<std::string> others;
        for (const auto& entry : fs::directory_iterator(dir_)) {
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

    fs::path dir_;
};

double Peak(const std::vector<float>& samples, size_t first, size_t end, int channels) {
    double peak = 0.0;
    for (size_t i = first * channels; i < end * channels; ++i)
        peak = std::max(peak, std::fabs(static_cast<double>(samples[i])));
    return peak;
}

TEST_F(CliTest, InfoDescribesTheMachine) {
    const CommandRun run = Lumo("info Lumo-20");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.err.empty());
    const std::string& out = run.out;
    EXPECT_NE(out.find("Tarvo Lumo-20 (Lumo-20)\n"), std::string::npos);
    EXPECT_NE(out.find("bands:       20\n"), std::string::npos);
    EXPECT_NE(out.find("flags:       0x2000\n"), std::string::npos);
    EXPECT_NE(out.find("commands:    0 &About..., 1 &Graph...\n"), std::string::npos);
    EXPECT_NE(out.find("Parameters (22;"), std::string::npos);
    EXPECT_NE(out.find("Bandwidth  Bandwidth        1..24      12  1.00 octave\n"), std::string::npos) << out;
    EXPECT_NE(out.find("1 kHz      1000 Hz         0..128      64  0.0 dB\n"), std::string::npos) << out;
}

TEST_F(CliTest, ErrorsAreOneLineAndFail) {
    ExpectOneErrorLine(Lumo("info Lumo-99"), "unknown machine 'Lumo-99'");
    ExpectOneErrorLine(Lumo("info /nonexistent/lumo.so"), "no such file");
    ExpectOneErrorLine(Lumo("info --bogus Lumo-31"), "--bogus");
    ExpectOneErrorLine(Lumo("frobnicate"), "frobnicate");
    ExpectOneErrorLine(Lumo(""), "subcommand");
}

TEST_F(CliTest, HelpExplainsEachCommand) {
    CommandRun run = Lumo("--help");
    EXPECT_EQ(run.exitCode, 0);
    for (const char* command : {"info", "eq", "graph", "--plugins"})
        EXPECT_NE(run.out.find(command), std::string::npos) << command;
    run = Lumo("eq --help");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("--set"), std::string::npos);
    EXPECT_NE(run.out.find("--block"), std::string::npos);
    run = Lumo("graph --help");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("--size"), std::string::npos);
}

TEST_F(CliTest, EqWavRoundTripKeepsFormatAndAddsTheTail) {
    const int frames = 20000;
    WriteSine("in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, frames, 440.0, 0.5);
    const CommandRun run = Lumo("eq Lumo-31 " + Quoted("in.wav") + " " + Quoted("out.wav"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Audio in = Read("in.wav");
    const Audio out = Read("out.wav");
    EXPECT_EQ(out.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(out.info.samplerate, kSampleRateHz);
    EXPECT_EQ(out.info.channels, 2);
    EXPECT_GE(out.info.frames, frames + kSampleRateHz / 5 - 256);
    EXPECT_LE(out.info.frames, frames + kSampleRateHz / 5 + 256);
    // Every band at 0 dB: the input comes back sample for sample.
    ASSERT_GE(out.samples.size(), in.samples.size());
    EXPECT_TRUE(std::equal(in.samples.begin(), in.samples.end(), out.samples.begin()));
    EXPECT_TRUE(OtherFiles({"in.wav", "out.wav"}).empty());
}

TEST_F(CliTest, EqFlacWithDecibelSetting) {
    const int frames = kSampleRateHz / 2;
    WriteSine("in.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 2, frames, 1000.0, 0.1);
    const CommandRun run =
        Lumo("eq Lumo-15 " + Quoted("in.flac") + " " + Quoted("out.flac") + " --set '1 kHz=+6dB' --block 100");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("1 kHz: +6dB -> slider 88 (+6.00 dB)"), std::string::npos) << run.out;
    const Audio out = Read("out.flac");
    EXPECT_EQ(out.info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
    const double gain = Peak(out.samples, frames / 2, frames, 2) / 0.1;
    EXPECT_NEAR(gain, std::pow(10.0, 6.0 / 20.0), 0.05);
}

TEST_F(CliTest, EqMonoStaysMono) {
    const int frames = kSampleRateHz / 2;
    WriteSine("in.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, frames, 1000.0, 0.1);
    const CommandRun run = Lumo("eq Lumo-20 " + Quoted("in.wav") + " " + Quoted("out.aiff") +
                         " --set Range=12 --set '1 kHz=128'");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Audio out = Read("out.aiff");
    EXPECT_EQ(out.info.channels, 1);
    EXPECT_EQ(out.info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_AIFF);
    EXPECT_NEAR(Peak(out.samples, frames / 2, frames, 1) / 0.1, std::pow(10.0, 12.0 / 20.0), 0.1);
}

TEST_F(CliTest, EqFailuresLeaveNoOutput) {
    WriteSine("in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 1000, 440.0, 0.5);
    const std::string original = ReadText(Path("in.wav"));

    ExpectOneErrorLine(Lumo("eq Lumo-31 " + Quoted("in.wav") + " " + Quoted("out.wav") + " --set Loudness=3"),
                       "unknown parameter 'Loudness'");
    ExpectOneErrorLine(Lumo("eq Lumo-31 " + Quoted("in.wav") + " " + Quoted("out.wav") + " --set Range=40"),
                       "outside 0..32");

    std::ofstream(Path("text.wav")) << "this is not audio\n";
    ExpectOneErrorLine(Lumo("eq Lumo-31 " + Quoted("text.wav") + " " + Quoted("out.wav")), "cannot read");
    ExpectOneErrorLine(Lumo("eq Lumo-31 " + Quoted("none.wav") + " " + Quoted("out.wav")), "no such file");
    ExpectOneErrorLine(Lumo("eq Lumo-31 " + Quoted("in.wav") + " " + Quoted("missing/out.wav")),
                       "does not exist");
    ExpectOneErrorLine(Lumo("eq Lumo-31 " + Quoted("in.wav") + " " + Quoted("out.xyz")), "format");
    ExpectOneErrorLine(Lumo("eq Lumo-31 " + Quoted("in.wav") + " " + Quoted("in.wav")), "is the input");
    ExpectOneErrorLine(Lumo("eq Lumo-31 " + Quoted("in.wav") + " " + Quoted("out.wav") + " --block 0"),
                       "--block");

    WriteSine("three.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 3, 1000, 440.0, 0.5);
    ExpectOneErrorLine(Lumo("eq Lumo-31 " + Quoted("three.wav") + " " + Quoted("out.wav")), "3 channels");

    EXPECT_FALSE(fs::exists(dir_ / "missing"));
    EXPECT_EQ(ReadText(Path("in.wav")), original);
    EXPECT_TRUE(OtherFiles({"in.wav", "text.wav", "three.wav"}).empty());
}

// Width and height of a PNG file from its header.
bool PngSize(const std::string& path, int& width, int& height) {
    const std::string data = ReadText(path);
    if (data.size() < 24 || data.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return false;
    auto be32 = [&](size_t at) {
        return (static_cast<unsigned char>(data[at]) << 24) | (static_cast<unsigned char>(data[at + 1]) << 16) |
               (static_cast<unsigned char>(data[at + 2]) << 8) | static_cast<unsigned char>(data[at + 3]);
    };
    width = be32(16);
    height = be32(20);
    return true;
}

TEST_F(CliTest, GraphWritesThePaintedWindow) {
    CommandRun run = Lumo("graph Lumo-31 -o " + Quoted("graph.png") + " --set '1 kHz=+10dB'");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    int width = 0, height = 0;
    ASSERT_TRUE(PngSize(Path("graph.png"), width, height));
    EXPECT_LT(width, 406);
    EXPECT_LT(height, 232);
    EXPECT_GT(width, 300);

    run = Lumo("graph Lumo-15 -o " + Quoted("sized.png") + " --size 500x300");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_TRUE(PngSize(Path("sized.png"), width, height));
    EXPECT_EQ(width, 500);
    EXPECT_EQ(height, 300);

    ExpectOneErrorLine(Lumo("graph Lumo-15 -o " + Quoted("small.png") + " --size 100x100"),
                       "does not fit");
    ExpectOneErrorLine(Lumo("graph Lumo-15 -o " + Quoted("bad.png") + " --size big"), "--size");
    EXPECT_FALSE(fs::exists(dir_ / "small.png"));
}

}  // namespace
