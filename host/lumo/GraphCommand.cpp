// lumo graph MACHINE -o OUT.png: opens the machine's graph window and saves what it paints.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Commands.h"
#include "lumo/host/HostEnvironment.h"

namespace lumo::cli {
namespace {

using host::HostError;

constexpr int kGraphCommand = 1;
// The outer sizes the graph window can be dragged to.
constexpr int kMinOuterWidth = 300, kMinOuterHeight = 200;
constexpr int kMaxOuterWidth = 600, kMaxOuterHeight = 400;

struct GraphOptions {
    std::string machine;
    std::string output;
    std::string size;  // "WxH" of the client area; empty: the window's own size
    std::vector<std::string> settings;
};

bool ParseSize(const std::string& text, int& width, int& height) {
    char separator = 0;
    char rest = 0;
    return std::sscanf(text.c_str(), "%d%c%d%c", &width, &separator, &height, &rest) == 3 &&
           (separator == 'x' || separator == 'X') && width > 0 && height > 0;
}

void RenderGraph(const GlobalOptions& global, const GraphOptions& options) {
    int clientWidth = 0, clientHeight = 0;
    if (!options.size.empty() && !ParseSize(options.size, clientWidth, clientHeight))
        throw HostError("bad --size '" + options.size + "': expected WIDTHxHEIGHT, e.g. 500x300");

    const host::PluginLibrary library = global.Load(options.machine);
    host::HostedMachine machine(library);
    machine.Initialise();
    ApplySettings(machine, options.settings);
    machine.RunCommand(kGraphCommand);

    host::HostEnvironment& environment = host::HostEnvironment::Instance();
    environment.PumpMessages();
    const std::string className = host::GraphWindowClassName(machine.Description());
    void* window = host::FindWindowOfClass(className);
    if (window == nullptr)
        throw HostError(std::string(machine.Description().shortName) +
                        " opened no graph window on its Graph command (window class " +
                        className + ")");

    if (!options.size.empty()) {
        const host::WindowGeometry geometry = host::GetWindowGeometry(window);
        const int frameWidth = geometry.width - geometry.clientWidth;
        const int frameHeight = geometry.height - geometry.clientHeight;
        const int outerWidth = clientWidth + frameWidth;
        const int outerHeight = clientHeight + frameHeight;
        if (outerWidth < kMinOuterWidth || outerWidth > kMaxOuterWidth ||
            outerHeight < kMinOuterHeight || outerHeight > kMaxOuterHeight)
            throw HostError("--size " + options.size + " does not fit the graph window: its client area can be " +
                            std::to_string(kMinOuterWidth - frameWidth) + "x" +
                            std::to_string(kMinOuterHeight - frameHeight) + " to " +
                            std::to_string(kMaxOuterWidth - frameWidth) + "x" +
                            std::to_string(kMaxOuterHeight - frameHeight));
        host::SetClientSize(window, clientWidth, clientHeight);
        environment.PumpMessages();
    }

    const host::WindowGeometry geometry = host::GetWindowGeometry(window);
    host::SaveClientPng(window, options.output);
    std::printf("wrote %s (%dx%d)\n", options.output.c_str(), geometry.clientWidth,
                geometry.clientHeight);
}

}  // namespace

void AddGraphCommand(CLI::App& app, const GlobalOptions& global) {
    CLI::App* command = app.add_subcommand(
        "graph", "Open the machine's response graph (its Graph command) with the given "
                 "parameters and save the painted window as a PNG image");
    auto options = std::make_shared<GraphOptions>();
    command->add_option("MACHINE", options->machine, "Full name, short name or plug-in path")
        ->required();
    command->add_option("-o,--output", options->output, "PNG file to write")->required();
    command->add_option("--size", options->size,
                        "Client area WIDTHxHEIGHT; the outer window must stay within 300x200 "
                        "and 600x400 (default: the window's own size)")
        ->type_name("WxH");
    command
        ->add_option("--set", options->settings,
                     "NAME=VALUE as for lumo eq; others keep their defaults")
        ->type_name("NAME=VALUE")
        ->allow_extra_args(false);
    command->callback([&global, options] { RenderGraph(global, *options); });
}

}  // namespace lumo::cli
