// What lumo eq writes, sample by sample: integer output at the nearest step, TPDF dither, the
// tail's length, pipes, batches, and no temporary file left behind by a signal.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "CliHarness.h"

extern char** environ;

namespace lumo::clitest {
namespace {

constexpr int kTailFrames = kSampleRateHz / 5;

// A slow stereo ramp in float through every fractional position of the integer steps of
// `bits` (0.37 of a step per frame; the right channel mirrored).
std::vector<float> Ramp(int frames, int bits) {
    const double step = 0.37 / std::ldexp(1.0, bits - 1);
    std::vector<float> samples(2 * static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        samples[2 * i] = static_cast<float>((i - frames / 2) * step);
        samples[2 * i + 1] = -samples[2 * i];
    }
    return samples;
}

// Output minus exact value, in steps of `bits`, over every sample of both files.
std::vector<double> StepErrors(const std::vector<double>& written, const std::vector<double>& exact, int bits) {
    const double scale = std::ldexp(1.0, bits - 1);
    std::vector<double> errors;
    for (size_t i = 0; i < std::min(written.size(), exact.size()); ++i)
        errors.push_back(written[i] * scale - exact[i] * scale);
    return errors;
}

class CliAudioTest : public CliTest {};

// The machine's float output, written at 16 and 24 bits undithered, is exactly the nearest step
// of every sample, flat or boosted (no bias, no truncation).
TEST_F(CliAudioTest, IntegerOutputIsTheNearestStep) {
    for (int bits : {16, 24}) {
        WriteSamples("ramp.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, Ramp(20000, bits));
        for (const std::string settings : {"", " --set 1k=+6dB --set 63Hz=-4dB"}) {
            ASSERT_EQ(Lumo("eq Lumo-31 ramp.wav exact.wav --bits float" + settings).exitCode, 0);
            const CommandRun run =
                Lumo("eq Lumo-31 ramp.wav out.wav --no-dither --bits " + std::to_string(bits) + settings);
            ASSERT_EQ(run.exitCode, 0) << run.err;
            const Audio exact = Read("exact.wav"), out = Read("out.wav");
            ASSERT_EQ(out.wide.size(), exact.wide.size());
            const double scale = std::ldexp(1.0, bits - 1);
            size_t wrong = 0;
            for (size_t i = 0; i < out.wide.size(); ++i)
                if (out.wide[i] * scale != std::nearbyint(exact.wide[i] * scale)) ++wrong;
            EXPECT_EQ(wrong, 0u) << bits << " bits" << settings;
        }
    }
}

// At 16 bits changed audio gets TPDF dither: error mean near 0, spread of rounding plus
// triangular noise (standard deviation 1/2 step), never more than 1.5 steps; the same bytes on
// every run. Unchanged audio (flat machine, same bits) is left bit-identical.
TEST_F(CliAudioTest, DitherIsTpdfReproducibleAndOnlyWhereTheAudioChanged) {
    WriteSamples("ramp.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, Ramp(20000, 16));
    const std::string boost = " --set 1k=+6dB --set 63Hz=-4dB";
    ASSERT_EQ(Lumo("eq Lumo-31 ramp.wav exact.wav --bits float" + boost).exitCode, 0);
    ASSERT_EQ(Lumo("eq Lumo-31 ramp.wav one.wav --bits 16" + boost).exitCode, 0);
    ASSERT_EQ(Lumo("eq Lumo-31 ramp.wav two.wav --bits 16" + boost).exitCode, 0);
    EXPECT_EQ(ReadText(Path("one.wav")), ReadText(Path("two.wav")));

    // Over the input's frames: the tail fades to digital silence, which stays undithered.
    std::vector<double> errors = StepErrors(Read("one.wav").wide, Read("exact.wav").wide, 16);
    errors.resize(2 * 20000);
    double sum = 0.0, squares = 0.0, largest = 0.0;
    for (double e : errors) {
        sum += e;
        largest = std::max(largest, std::fabs(e));
    }
    const double mean = sum / errors.size();
    for (double e : errors) squares += (e - mean) * (e - mean);
    EXPECT_NEAR(mean, 0.0, 0.02);
    EXPECT_NEAR(std::sqrt(squares / errors.size()), 0.5, 0.02);
    EXPECT_LE(largest, 1.5);

    WriteSine("in24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2, 5000, 440.0, 0.5);
    ASSERT_EQ(Lumo("eq Lumo-31 in24.wav flat24.wav").exitCode, 0);
    const Audio in = Read("in24.wav"), flat = Read("flat24.wav");
    ASSERT_GE(flat.wide.size(), in.wide.size());
    EXPECT_TRUE(std::equal(in.wide.begin(), in.wide.end(), flat.wide.begin()));
}

TEST_F(CliAudioTest, TailEndsWhereTheFadeEndsWhateverTheBlock) {
    const int frames = 3000;
    WriteSine("in.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, frames, 1000.0, 0.3);
    std::vector<float> reference;
    for (int block : {1, 256, 1000}) {
        const CommandRun run = Lumo("eq Lumo-31 in.wav out.wav --set 1k=+6dB --block " + std::to_string(block));
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const Audio out = Read("out.wav");
        EXPECT_EQ(out.info.frames, frames + kTailFrames) << "block " << block;
        if (reference.empty()) reference = out.samples;
        else EXPECT_EQ(out.samples, reference) << "block " << block;
    }
}

// stdin to stdout gives what files give; the notes go to stderr, stdout holds only the audio.
TEST_F(CliAudioTest, PipeRoundTripMatchesFiles) {
    WriteSine("in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 5000, 440.0, 0.5);
    const CommandRun piped =
        Shell("cat in.wav | '" LUMO_CLI_PATH "' eq Lumo-31 - - --type flac --set 1k=+6dB > piped.flac");
    ASSERT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_TRUE(Contains(piped.err, "1 kHz: +6dB -> slider 88")) << piped.err;
    ASSERT_EQ(Lumo("eq Lumo-31 in.wav file.flac --set 1k=+6dB").exitCode, 0);
    const Audio fromPipe = Read("piped.flac"), fromFile = Read("file.flac");
    EXPECT_EQ(fromPipe.info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    EXPECT_EQ(fromPipe.info.frames, 5000 + kTailFrames);
    EXPECT_EQ(fromPipe.samples, fromFile.samples);
}

// Each input to the folder under its own name; a bad file and a name taken twice fail alone.
TEST_F(CliAudioTest, BatchGoesOnPastABadFile) {
    WriteSine("a.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 3000, 440.0, 0.5);
    WriteSine("b.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 1, 2000, 440.0, 0.5);
    std::ofstream(Path("bad.wav")) << "this is not audio\n";
    fs::create_directories(dir_ / "out");
    fs::create_directories(dir_ / "again");
    fs::copy_file(Path("a.wav"), Path("again/a.wav"));

    const CommandRun run = Lumo("eq Lumo-20 a.wav bad.wav b.flac again/a.wav -o out --set 1k=+3dB");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2) << run.err;
    EXPECT_TRUE(Contains(run.err, "cannot read bad.wav")) << run.err;
    EXPECT_TRUE(Contains(run.err, "again/a.wav")) << run.err;
    EXPECT_TRUE(Contains(run.out, "wrote out/a.wav\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "wrote out/b.flac\n")) << run.out;

    EXPECT_TRUE(OtherFiles({"a.wav", "b.flac"}, dir_ / "out").empty());
    const Audio a = Read("out/a.wav"), b = Read("out/b.flac");
    EXPECT_EQ(a.info.frames, 3000 + kTailFrames);
    EXPECT_EQ(b.info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
    EXPECT_EQ(b.info.channels, 1);
}

// lumo eq reads from a pipe that stays open, so it is surely mid-file (its temporary file
// made) when the signal comes.
TEST_F(CliAudioTest, SignalsLeaveNoTemporaryFile) {
    WriteSine("whole.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 4000, 440.0, 0.5);
    const std::string bytes = ReadText(Path("whole.wav")).substr(0, 4096);  // header and a little
    setenv("LUMO_PLUGIN_DIR", LUMO_TEST_PLUGIN_DIR, 1);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ASSERT_EQ(mkfifo(Path("in.wav").c_str(), 0600), 0);
        // Read-write, so that opening it does not wait for lumo; less than a pipe holds.
        const int fifo = open(Path("in.wav").c_str(), O_RDWR);
        ASSERT_GE(fifo, 0);
        ASSERT_EQ(write(fifo, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));

        const std::string in = Path("in.wav"), out = Path("out.wav");
        const char* argv[] = {LUMO_CLI_PATH, "eq", "Lumo-31", in.c_str(), out.c_str(), "--set", "1k=+3dB", nullptr};
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, LUMO_CLI_PATH, nullptr, nullptr, const_cast<char**>(argv), environ), 0);
        bool started = false;
        for (int wait = 0; wait < 2000 && !started; ++wait) {
            for (const std::string& name : OtherFiles({"in.wav", "whole.wav"}))
                started = started || name.rfind(".out.wav.lumo-", 0) == 0;
            if (!started) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_TRUE(started) << "no temporary file seen";
        kill(pid, signal);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "signal " << signal;
        close(fifo);
        EXPECT_TRUE(OtherFiles({"in.wav", "whole.wav"}).empty()) << "signal " << signal;
        fs::remove(Path("in.wav"));
    }
}

}  // namespace
}  // namespace lumo::clitest
