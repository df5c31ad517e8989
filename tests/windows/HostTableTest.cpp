// The other direction of the table test: every call the machine makes into the host's callbacks
// table, checked for its slot and its argument words. The table is laid out as the real host's:
// the six operations at their slots, every other slot an operation that stops the process naming
// the slot, so a machine calling a wrong slot fails this program.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "TestHost.h"


namespace testhost {
namespace {

constexpr int kScratch = abi::ScratchBuffer::kSlot;
constexpr int kRegister = abi::RegisterExtension::kSlot;
constexpr int kHandle = abi::OwnHandle::kSlot;
constexpr int kTitle = abi::MachineTitle::kSlot;
constexpr int kWindow = abi::HostWindow::kSlot;
constexpr int kTextChanged = abi::ParameterTextChanged::kSlot;

// Closes the About box once it shows: MessageBoxA returns only when the user closes it.
class AboutBoxCloser {
public:
    explicit AboutBoxCloser(const char* caption)
        : thread_([this, caption] {
              while (!stop_) {
                  if (HWND box = FindWindowA("#32770", caption)) {
                      // Noted before the post: the box may close, and the test read found_,
                      // before this thread runs again.
                      found_ = true;
                      PostMessageA(box, WM_COMMAND, IDOK, 0);
                  }
                  Sleep(20);
              }
          }) {}
    ~AboutBoxCloser() {
        stop_ = true;
        thread_.join();
    }
    bool Found() const { return found_; }

private:
    std::atomic<bool> stop_{false};
    std::atomic<bool> found_{false};
    std::thread thread_;
};

class HostTable : public ::testing::TestWithParam<int> {};

TEST_P(HostTable, MachineCallsOnlyTheHostsSixSlotsWithTheirArguments) {
    ASSERT_TRUE(StartGdiplusOnce());
    const int bands = GetParam();
    const PluginFile plugin(bands);
    ASSERT_TRUE(plugin.Loaded()) << "cannot load " << PluginPath(bands);
    const abi::MachineDescription* info = plugin.getInfo();

    abi::HostInfo hostInfo{126, 4, 44100};
    RecordingHost host;
    host.ownerWindow = reinterpret_cast<void*>(GetDesktopWindow());
    abi::MachineBase* machine = plugin.CreateMachine(hostInfo, host);
    ASSERT_NE(machine, nullptr);
    const uintptr_t handle = RecordingHost::Word(&host.handleTag);

    // Initialise: the extension, then the machine's own handle.
    machine->Initialise(nullptr);
    ASSERT_NE(host.extension, nullptr);
    EXPECT_EQ(host.TakeCalls(), (std::vector<HostCall>{
                                    {kRegister, {RecordingHost::Word(host.extension)}},
                                    {kHandle, {}}}));

    // The parameter protocol: every value first, then a Range change, which asks for the texts
    // of the bands away from 0 dB, in order.
    for (int i = 0; i < info->globalParameterCount; ++i)
        machine->parameterBlock[i] = static_cast<unsigned char>(info->parameters[i]->defaultValue);
    machine->parameterBlock[2 + 1] = 100;
    machine->parameterBlock[2 + bands - 1] = 0;
    machine->ApplyParameters();
    const std::vector<HostCall> textsOffCentre = {
        {kTextChanged, {handle, 2 + 1}}, {kTextChanged, {handle, static_cast<uintptr_t>(2 + bands - 1)}}};
    EXPECT_EQ(host.TakeCalls(), textsOffCentre);
    for (int i = 0; i < info->globalParameterCount; ++i)
        machine->parameterBlock[i] = static_cast<unsigned char>(abi::kNoValue);
    machine->parameterBlock[2 + 2] = 90;  // a slider alone asks for nothing
    machine->ApplyParameters();
    EXPECT_TRUE(host.TakeCalls().empty());
    machine->parameterBlock[2 + 2] = static_cast<unsigned char>(abi::kNoValue);
    machine->parameterBlock[0] = 24;
    machine->ApplyParameters();
    EXPECT_EQ(host.TakeCalls(), (std::vector<HostCall>{textsOffCentre[0], {kTextChanged, {handle, 2 + 2}},
                                                      textsOffCentre[1]}));

    // Audio: with input nothing is asked; without input the scratch buffer, once per call that
    // still sounds, and nothing once the machine is silent.
    std::vector<float> audio(2 * kScratchFrames);
    for (size_t i = 0; i < audio.size(); ++i) audio[i] = 0.25f * std::sin(0.05f * static_cast<float>(i));
    EXPECT_TRUE(machine->ProcessAudio(audio.data(), kScratchFrames, abi::kModeInput));
    EXPECT_TRUE(host.TakeCalls().empty());
    int sounding = 0;
    while (machine->ProcessAudio(audio.data(), kScratchFrames, abi::kModeNoInput)) ++sounding;
    EXPECT_GT(sounding, 0);
    EXPECT_EQ(host.TakeCalls(), std::vector<HostCall>(sounding, HostCall{kScratch, {}}));

    // The Graph command: the caption for the machine's own handle, then the owner window; the
    // same command again re-shows the window and asks nothing.
    machine->RunCommand(abi::kCommandGraph);
    EXPECT_EQ(host.TakeCalls(), (std::vector<HostCall>{{kTitle, {handle}}, {kWindow, {}}}));
    machine->RunCommand(abi::kCommandGraph);
    PumpMessages(50);
    EXPECT_TRUE(host.TakeCalls().empty());

    // The About box asks the host for nothing.
    {
        AboutBoxCloser closer(info->fullName);
        machine->RunCommand(abi::kCommandAbout);
        EXPECT_TRUE(closer.Found());
    }
    EXPECT_TRUE(host.TakeCalls().empty());

    // The host's hide and restore: the window comes back with a caption and an owner.
    host.extension->HideGraphWindow(true);
    host.extension->HideGraphWindow(false);
    EXPECT_EQ(host.TakeCalls(), (std::vector<HostCall>{{kTitle, {handle}}, {kWindow, {}}}));

    EXPECT_EQ(machine->DeletingDestructor(1), machine);
    EXPECT_TRUE(host.TakeCalls().empty());
    PumpMessages(50);
    EXPECT_TRUE(FreeLibrary(plugin.module));
}

INSTANTIATE_TEST_SUITE_P(AllDeliverables, HostTable, ::testing::Values(31, 20, 15),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Lumo" + std::to_string(info.param);
                         });

}  // namespace
}  // namespace testhost
