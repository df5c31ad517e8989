// Loads a plug-in, opens its graph window, destroys the machine, unloads the DLL and does it all
// again: the window class and the window must not outlive the module, and a second load must be
// able to register and open them afresh.
#include <gtest/gtest.h>

#include "TestHost.h"


namespace testhost {
namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> VisibleThreadWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

class Reload : public ::testing::TestWithParam<int> {};

// One round: load, create, open the graph, paint, destroy, unload.
void OpenGraphAndUnload(int bands, int round) {
    SCOPED_TRACE("round " + std::to_string(round));
    ASSERT_TRUE(StartGdiplusOnce());
    const PluginFile plugin(bands);
    ASSERT_TRUE(plugin.Loaded()) << "cannot load " << PluginPath(bands);
    const abi::MachineDescription* info = plugin.getInfo();

    abi::HostInfo hostInfo{126, 4, 44100};
    RecordingHost host;
    abi::MachineBase* machine = plugin.CreateMachine(hostInfo, host);
    ASSERT_NE(machine, nullptr);
    machine->Initialise(nullptr);
    for (int i = 0; i < info->globalParameterCount; ++i)
        machine->parameterBlock[i] = static_cast<unsigned char>(info->parameters[i]->defaultValue);
    machine->ApplyParameters();

    const size_t before = VisibleThreadWindows().size();
    machine->RunCommand(abi::kCommandGraph);
    PumpMessages(300);
    std::vector<HWND> windows = VisibleThreadWindows();
    ASSERT_EQ(windows.size(), before + 1) << "the Graph command shows one window";
    HWND graph = windows.back();
    RECT client{};
    ASSERT_TRUE(GetClientRect(graph, &client));
    EXPECT_GT(client.right, 0);
    EXPECT_GT(client.bottom, 0);

    // The same command again re-shows the same window rather than opening a second one.
    machine->RunCommand(abi::kCommandGraph);
    PumpMessages(100);
    EXPECT_EQ(VisibleThreadWindows().size(), before + 1);

    EXPECT_EQ(machine->DeletingDestructor(1), machine);
    EXPECT_FALSE(IsWindow(graph)) << "destroying the machine closes its window";
    PumpMessages(50);
    EXPECT_TRUE(FreeLibrary(plugin.module));
    PumpMessages(50);
}

TEST_P(Reload, GraphWindowSurvivesUnloadAndReload) {
    for (int round = 1; round <= 2; ++round) {
        OpenGraphAndUnload(GetParam(), round);
        if (HasFatalFailure()) return;
    }
}

INSTANTIATE_TEST_SUITE_P(AllDeliverables, Reload, ::testing::Values(31, 20, 15),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Lumo" + std::to_string(info.param);
                         });

}  // namespace
}  // namespace testhost
