// lumo as a careless user or an attacker runs it: crafted headers, file-size limits, empty
// inputs, compressed formats across containers, graph images that cannot be written, long
// names, and a stdin that stalls.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>

#include "CliHarness.h"

namespace lumo::clitest {
namespace {

constexpr int kTailFrames = kSampleRateHz / 5;

class CliFaultsTest : public CliTest {
protected:
    // The file with `bytes` written over it at `offset`.
    void Patch(const std::string& name, size_t offset, const std::string& bytes) {
        std::string data = ReadText(Path(name));
        data.replace(offset, bytes.size(), bytes);
        std::ofstream(Path(name), std::ios::binary) << data;
    }
};

// A header declaring an absurd sample rate is refused in one line before any output: WAV at
// 2^31 - 1 Hz, AIFF at 3 GHz (its rate an 80-bit float).
TEST_F(CliFaultsTest, CraftedSampleRatesAreRefusedBeforeAnyOutput) {
    WriteSine("huge.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 4000, 440.0, 0.5);
    Patch("huge.wav", 24, std::string("\xff\xff\xff\x7f", 4));  // fmt: sample rate, little-endian
    ExpectOneErrorLine(Lumo("eq Lumo-31 huge.wav out.wav"), "2147483647 Hz; lumo eq takes 1 Hz to 768000 Hz");

    WriteSine("huge.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 2, 4000, 440.0, 0.5);
    const size_t comm = ReadText(Path("huge.aiff")).find("COMM");
    ASSERT_NE(comm, std::string::npos);
    // 3e9 = mantissa * 2^(exponent - 16383 - 63), the mantissa's top bit set.
    const uint64_t mantissa = static_cast<uint64_t>(3e9) << 32;
    std::string rate = {0x40, 0x1e};  // exponent 16383 + 31
    for (int i = 7; i >= 0; --i) rate += static_cast<char>(mantissa >> (8 * i));
    Patch("huge.aiff", comm + 16, rate);
    ExpectOneErrorLine(Lumo("eq Lumo-31 huge.aiff out.wav"), "lumo eq takes 1 Hz to 768000 Hz");
    EXPECT_TRUE(OtherFiles({"huge.wav", "huge.aiff"}).empty());
}

// A write past the file-size limit fails like one on a full disk: one line, no file left.
TEST_F(CliFaultsTest, AFileSizeLimitLeavesNoTemporaryFile) {
    WriteSine("in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 5 * kSampleRateHz, 440.0, 0.5);
    // ulimit -f counts 512-byte blocks in sh (dash): 256 KiB.
    ExpectOneErrorLine(Shell("ulimit -f 512; '" LUMO_CLI_PATH "' eq Lumo-31 in.wav limited.wav --bits float"),
                       "cannot write limited.wav: File too large");
    EXPECT_TRUE(OtherFiles({"in.wav"}).empty());
}

// An input without audio gives a file that reads back in every container, or one line.
TEST_F(CliFaultsTest, EmptyInputsGiveReadableFilesOrOneLine) {
    WriteSamples("empty.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, {});
    WriteSamples("empty48.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, {}, 48000);
    for (const char* name : {"z.flac", "z.mp3", "z.wav", "z.aiff", "z.ogg"}) {
        const CommandRun run = Lumo(std::string("eq Lumo-31 empty.wav ") + name);
        ASSERT_EQ(run.exitCode, 0) << name << ": " << run.err;
        // FLAC has no way to say "no samples" but "length unknown".
        SF_INFO info{};
        SNDFILE* file = sf_open(Path(name).c_str(), SFM_READ, &info);
        ASSERT_NE(file, nullptr) << name << ": " << sf_strerror(nullptr);
        float frame[2];
        EXPECT_EQ(sf_readf_float(file, frame, 1), 0) << name;
        EXPECT_TRUE(info.frames == 0 || info.frames == SF_COUNT_MAX) << name;
        EXPECT_EQ(info.channels, 2) << name;
        sf_close(file);
        ASSERT_EQ(Lumo(std::string("eq Lumo-31 ") + name + " again.wav").exitCode, 0) << name;
    }
    ExpectOneErrorLine(Lumo("eq Lumo-31 empty48.wav z.opus"), "an Opus file without audio cannot be read back");
    EXPECT_FALSE(fs::exists(Path("z.opus")));
}

// MP3 and Opus are written too; an encoding OUT's container cannot hold becomes the natural one,
// said in one line.
TEST_F(CliFaultsTest, CompressedInputsGoIntoOtherContainers) {
    WriteSine("in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 10000, 440.0, 0.5);
    CommandRun run = Lumo("eq Lumo-31 in.wav in.mp3");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Audio mp3 = Read("in.mp3");
    EXPECT_EQ(mp3.info.format, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
    EXPECT_EQ(mp3.info.samplerate, kSampleRateHz);

    run = Lumo("eq Lumo-31 in.mp3 out.wav");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "out.wav: the input's MPEG Layer III samples do not go into WAV; writing 32-bit float\n"
                       "wrote out.wav\n");
    const Audio wav = Read("out.wav");
    EXPECT_EQ(wav.info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    EXPECT_EQ(wav.info.frames, mp3.info.frames + kTailFrames);
    run = Lumo("eq Lumo-31 in.mp3 out.flac -q");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Read("out.flac").info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);

    ExpectOneErrorLine(Lumo("eq Lumo-31 in.wav out.opus"), "Opus output takes 8, 12, 16, 24 or 48 kHz, not 44100 Hz");
    WriteSine("in48.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 9600, 440.0, 0.5, 48000);
    ASSERT_EQ(Lumo("eq Lumo-31 in48.wav out.opus").exitCode, 0);
    EXPECT_EQ(Read("out.opus").info.format, SF_FORMAT_OGG | SF_FORMAT_OPUS);
}

// lumo graph writes as lumo eq does: a failed write keeps the old image and leaves no file.
TEST_F(CliFaultsTest, GraphOnAFullDiskKeepsTheOldImage) {
    ASSERT_EQ(Lumo("graph Lumo-31 -o g.png").exitCode, 0);
    const std::string image = ReadText(Path("g.png"));
    const std::string limited = "ulimit -f 4; '" LUMO_CLI_PATH "' graph Lumo-31 --set 1k=+6dB -o ";
    ExpectOneErrorLine(Shell(limited + "g.png"), "cannot write g.png: File too large");
    ExpectOneErrorLine(Shell(limited + "new.png"), "cannot write new.png: File too large");
    EXPECT_EQ(ReadText(Path("g.png")), image);
    EXPECT_TRUE(OtherFiles({"g.png"}).empty());

    fs::permissions(Path("g.png"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ExpectOneErrorLine(Lumo("graph Lumo-31 -o g.png --set 1k=+6dB"), "g.png is read-only; use --force");
    EXPECT_EQ(ReadText(Path("g.png")), image);
    ASSERT_EQ(Lumo("graph Lumo-31 -o g.png --set 1k=+6dB --force").exitCode, 0);
    EXPECT_NE(ReadText(Path("g.png")), image);
}

// An OUT name of 255 bytes is written (its temporary name fits too); a dangling link is written
// through, its target created.
TEST_F(CliFaultsTest, LongNamesAndDanglingLinks) {
    WriteSine("in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 1000, 440.0, 0.5);
    const std::string name = std::string(251, 'n') + ".wav";
    const CommandRun run = Lumo("eq Lumo-31 in.wav " + name);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Read(name).info.frames, 1000 + kTailFrames);

    fs::create_directories(dir_ / "sub");
    fs::create_symlink("sub/target.wav", Path("link.wav"));
    ASSERT_EQ(Lumo("eq Lumo-31 in.wav link.wav").exitCode, 0);
    EXPECT_TRUE(fs::is_symlink(Path("link.wav")));
    EXPECT_EQ(Read("sub/target.wav").info.frames, 1000 + kTailFrames);
    EXPECT_TRUE(OtherFiles({"in.wav", name, "link.wav", "sub"}).empty());
}

// A WAV on stdin is read as it comes: output appears on stdout while the producer stalls, and
// the whole stream is what the file gives.
TEST_F(CliFaultsTest, AStalledStdinAlreadyGivesOutput) {
    constexpr int kFrames = 3 * 16384;
    WriteSine("in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, kFrames, 440.0, 0.5);
    ASSERT_EQ(Lumo("eq Lumo-31 in.wav file.wav --set 1k=+3dB").exitCode, 0);
    const std::string input = ReadText(Path("in.wav"));

    int toLumo[2], fromLumo[2];
    ASSERT_EQ(pipe(toLumo), 0);
    ASSERT_EQ(pipe(fromLumo), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        dup2(toLumo[0], STDIN_FILENO);
        dup2(fromLumo[1], STDOUT_FILENO);
        for (int descriptor : {toLumo[0], toLumo[1], fromLumo[0], fromLumo[1]}) close(descriptor);
        setenv("LUMO_PLUGIN_DIR", LUMO_TEST_PLUGIN_DIR, 1);
        execl(LUMO_CLI_PATH, LUMO_CLI_PATH, "eq", "Lumo-31", "-", "-", "--type", "wav", "--set", "1k=+3dB",
              "-q", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(toLumo[0]);
    close(fromLumo[1]);
    // Two thirds of the input (more than one block of lumo's), then nothing until output came.
    const size_t first = 44 + 2 * 2 * 16384;
    ASSERT_EQ(write(toLumo[1], input.data(), first), static_cast<ssize_t>(first));
    // The header comes at once; audio must follow while stdin stalls.
    std::string output;
    char chunk[65536];
    ssize_t got = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (output.size() <= 44 && std::chrono::steady_clock::now() < deadline) {
        pollfd ready = {fromLumo[0], POLLIN, 0};
        if (poll(&ready, 1, 1000) == 1 && (got = read(fromLumo[0], chunk, sizeof chunk)) > 0)
            output.append(chunk, static_cast<size_t>(got));
    }
    ASSERT_GT(output.size(), 44u) << "no audio while stdin stalls";

    std::thread rest([&] {
        EXPECT_EQ(write(toLumo[1], input.data() + first, input.size() - first),
                  static_cast<ssize_t>(input.size() - first));
        close(toLumo[1]);
    });
    while ((got = read(fromLumo[0], chunk, sizeof chunk)) > 0) output.append(chunk, static_cast<size_t>(got));
    rest.join();
    close(fromLumo[0]);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

    std::ofstream(Path("streamed.wav"), std::ios::binary) << output;
    const Audio streamed = Read("streamed.wav"), file = Read("file.wav");
    EXPECT_EQ(streamed.info.frames, kFrames + kTailFrames);
    EXPECT_EQ(streamed.samples, file.samples);
    // Read back from a pipe, the stream of unknown length is no file cut short.
    const CommandRun again = Shell("cat streamed.wav | '" LUMO_CLI_PATH "' eq Lumo-31 - again.wav -q");
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.err, "");
}

}  // namespace
}  // namespace lumo::clitest
