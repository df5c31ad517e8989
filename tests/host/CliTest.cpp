// The lumo command-line tool, run as a user runs it: descriptions, help, settings, refusals and
// graphs. The audio it writes is checked closely in CliAudioTest.cpp.
#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include "CliHarness.h"

namespace lumo::clitest {
namespace {

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

TEST_F(CliTest, InfoJsonGivesTheTableForScripts) {
    const CommandRun run = Lumo("info Lumo-31 --json");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const nlohmann::json info = nlohmann::json::parse(run.out);
    EXPECT_EQ(info["fullName"], "Tarvo Lumo-31");
    EXPECT_EQ(info["commands"], nlohmann::json::array({"&About...", "&Graph..."}));
    const nlohmann::json& parameters = info["parameters"];
    ASSERT_EQ(parameters.size(), 33u);
    const nlohmann::json& bandwidth = parameters[1];
    EXPECT_EQ(bandwidth["name"], "Bandwidth");
    EXPECT_EQ(bandwidth["minimum"], 1);
    EXPECT_EQ(bandwidth["maximum"], 24);
    ASSERT_EQ(bandwidth["valueTexts"].size(), 24u);
    EXPECT_EQ(bandwidth["valueTexts"][11], "1.00 octave");
    EXPECT_FALSE(bandwidth.contains("centreHz"));
    // The lowest band, the 1 kHz band and the highest, with the centres their descriptions give.
    EXPECT_EQ(parameters[2]["name"], "20 Hz");
    EXPECT_DOUBLE_EQ(parameters[2]["centreHz"].get<double>(), 19.7);
    EXPECT_EQ(parameters[19]["name"], "1 kHz");
    EXPECT_DOUBLE_EQ(parameters[19]["centreHz"].get<double>(), 1000.0);
    EXPECT_EQ(parameters[19]["default"], 64);
    EXPECT_EQ(parameters[19]["defaultText"], "0.0 dB");
    EXPECT_EQ(parameters[19]["valueTexts"].size(), 129u);
    EXPECT_DOUBLE_EQ(parameters[32]["centreHz"].get<double>(), 20159.0);

    const CommandRun version = Lumo("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "lumo " LUMO_VERSION "\n");
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
    for (const char* part : {"--set", "repeat", "twelfths of an octave", "1/3oct", "--block", "--bits",
                             "--no-dither", "--type", "-o,--output-dir", "--force", "--quiet"})
        EXPECT_TRUE(Contains(run.out, part)) << part;
}

// The size range graph --help states is the one the window takes, ends included.
TEST_F(CliTest, GraphSizeRangeIsTheClientAreasAndOutputsArePng) {
    const CommandRun help = Lumo("graph --help");
    int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;
    const size_t at = help.out.find("from ");
    ASSERT_NE(at, std::string::npos) << help.out;
    ASSERT_EQ(std::sscanf(help.out.c_str() + at, "from %dx%d to %dx%d", &minWidth, &minHeight, &maxWidth,
                          &maxHeight), 4) << help.out;
    const std::string range = std::to_string(minWidth) + "x" + std::to_string(minHeight) + " to " +
                              std::to_string(maxWidth) + "x" + std::to_string(maxHeight);
    for (const std::string& size : {std::to_string(minWidth) + "x" + std::to_string(minHeight),
                                    std::to_string(maxWidth) + "x" + std::to_string(maxHeight)}) {
        const CommandRun run = Lumo("graph Lumo-15 -o g.png --size " + size);
        EXPECT_EQ(run.exitCode, 0) << size << ": " << run.err;
        EXPECT_TRUE(Contains(run.out, "(" + size + ")")) << run.out;
    }
    const std::string tooWide = std::to_string(maxWidth + 1) + "x" + std::to_string(maxHeight);
    const CommandRun refused = Lumo("graph Lumo-15 -o wide.png --size " + tooWide);
    ExpectOneErrorLine(refused, "--size " + tooWide);
    EXPECT_TRUE(Contains(refused.err, range)) << refused.err;

    ExpectOneErrorLine(Lumo("graph Lumo-15 -o g.jpg"), "g.jpg");
    ExpectOneErrorLine(Lumo("graph Lumo-15 -o missing/g.png"), "the folder missing does not exist");
    EXPECT_TRUE(OtherFiles({"g.png"}).empty());
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
    EXPECT_EQ(out.info.frames, frames + kSampleRateHz / 5);
    // Every band at 0 dB: the input comes back sample for sample, undithered.
    ASSERT_GE(out.samples.size(), in.samples.size());
    EXPECT_TRUE(std::equal(in.samples.begin(), in.samples.end(), out.samples.begin()));
    EXPECT_EQ(run.out, "wrote " + Path("out.wav") + "\n");
    EXPECT_TRUE(OtherFiles({"in.wav", "out.wav"}).empty());

    const CommandRun quiet = Lumo("eq Lumo-31 in.wav out.wav --quiet --set 1k=+3dB");
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.out + quiet.err, "");
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

    ExpectOneErrorLine(Lumo("eq Lumo-31 in.wav out.flac --bits 32"), "--bits 32");
    ExpectOneErrorLine(Lumo("eq Lumo-31 in.wav out.ogg --bits 16"), "--bits 16");
    ExpectOneErrorLine(Lumo("eq Lumo-31 in.wav -"), "--type");
    ExpectOneErrorLine(Lumo("eq Lumo-31 in.wav out.wav extra.wav"), "IN... -o DIR");
    ExpectOneErrorLine(Lumo("eq Lumo-31 in.wav -o missing"), "-o missing");

    WriteSine("three.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 3, 1000, 440.0, 0.5);
    ExpectOneErrorLine(Lumo("eq Lumo-31 " + Quoted("three.wav") + " " + Quoted("out.wav")), "3 channels");

    EXPECT_FALSE(fs::exists(dir_ / "missing"));
    EXPECT_EQ(ReadText(Path("in.wav")), original);
    EXPECT_TRUE(OtherFiles({"in.wav", "text.wav", "three.wav"}).empty());
}

// OUT is replaced as asked, keeping its mode; a read-only OUT only with --force.
TEST_F(CliTest, EqReplacesOnlyWhatItMay) {
    WriteSine("in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 1000, 440.0, 0.5);
    std::ofstream(Path("locked.wav")) << "keep me\n";
    std::ofstream(Path("shared.wav")) << "replace me\n";
    fs::permissions(Path("locked.wav"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(Path("shared.wav"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                            fs::perms::group_write);
    auto mode = [&](const std::string& name) { return fs::status(Path(name)).permissions() & fs::perms::mask; };
    const fs::perms locked = mode("locked.wav"), shared = mode("shared.wav");

    ExpectOneErrorLine(Lumo("eq Lumo-31 in.wav locked.wav"), "locked.wav is read-only; use --force");
    EXPECT_EQ(ReadText(Path("locked.wav")), "keep me\n");

    ASSERT_EQ(Lumo("eq Lumo-31 in.wav locked.wav --force").exitCode, 0);
    ASSERT_EQ(Lumo("eq Lumo-31 in.wav shared.wav").exitCode, 0);
    EXPECT_EQ(Read("locked.wav").info.frames, 1000 + kSampleRateHz / 5);
    EXPECT_EQ(Read("shared.wav").info.frames, 1000 + kSampleRateHz / 5);
    EXPECT_EQ(mode("locked.wav"), locked);
    EXPECT_EQ(mode("shared.wav"), shared);

    // A symbolic link has its target replaced; /dev/null takes the result and stays itself.
    fs::create_symlink("shared.wav", Path("link.wav"));
    ASSERT_EQ(Lumo("eq Lumo-31 in.wav link.wav --set 1k=+3dB").exitCode, 0);
    EXPECT_TRUE(fs::is_symlink(Path("link.wav")));
    EXPECT_NE(Read("shared.wav").samples, Read("locked.wav").samples);
    EXPECT_EQ(Lumo("eq Lumo-31 in.wav /dev/null --type wav").exitCode, 0);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_TRUE(OtherFiles({"in.wav", "locked.wav", "shared.wav", "link.wav"}).empty());
}

TEST_F(CliTest, EqWarnsInsteadOfSilentSurprises) {
    // A band at or above half the sample rate, set away from 0 dB, does nothing.
    WriteSine("low-rate.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 800, 300.0, 0.5, 8000);
    CommandRun run = Lumo("eq Lumo-31 low-rate.wav out.wav --set 8k=+6dB --set 4k=-3dB --set 1k=+1dB");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(Contains(run.err, "warning: low-rate.wav: 8 kHz has no effect at 8000 Hz")) << run.err;
    EXPECT_TRUE(Contains(run.err, "warning: low-rate.wav: 4 kHz has no effect at 8000 Hz")) << run.err;
    EXPECT_FALSE(Contains(run.err, "1 kHz")) << run.err;

    // A file cut short: the header promises twice the audio it holds.
    WriteSine("whole.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 4000, 440.0, 0.5);
    const std::string whole = ReadText(Path("whole.wav"));
    std::ofstream(Path("cut.wav"), std::ios::binary) << whole.substr(0, whole.size() / 2);
    run = Lumo("eq Lumo-31 cut.wav out.wav");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(Contains(run.err, "warning: cut.wav ends early")) << run.err;
    EXPECT_FALSE(Contains(Lumo("eq Lumo-31 whole.wav out.wav").err, "warning")) ;

    // Float output above full scale is kept, and said; integer output clips and counts.
    WriteSine("hot.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 4410, 1000.0, 0.9);
    run = Lumo("eq Lumo-31 hot.wav hot-out.wav --set Range=12 --set 1k=+12dB");
    EXPECT_TRUE(Contains(run.err, "warning: hot-out.wav peaks at +")) << run.err;
    run = Lumo("eq Lumo-31 hot.wav hot-out.wav --set Range=12 --set 1k=+12dB --bits 24");
    EXPECT_TRUE(Contains(run.err, "samples beyond full scale were clipped")) << run.err;
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
}  // namespace lumo::clitest
