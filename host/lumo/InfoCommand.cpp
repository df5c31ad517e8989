// lumo info MACHINE: the machine's description and its parameter table.
#include <cstdio>
#include <memory>
#include <string>

#include "Commands.h"

namespace lumo::cli {
namespace {

constexpr int kInfoSampleRateHz = 44100;

// "&About...\n&Graph..." -> "0 &About..., 1 &Graph..."
std::string CommandList(const char* commands) {
    std::string list;
    std::string line;
    int number = 0;
    auto flush = [&] {
        list += (number == 0 ? "" : ", ") + std::to_string(number) + " " + line;
        ++number;
        line.clear();
    };
    for (const char* c = commands; c != nullptr && *c != '\0'; ++c) {
        if (*c == '\n') flush();
        else line += *c;
    }
    if (!line.empty()) flush();
    return list.empty() ? "none" : list;
}

const char* Text(const char* text) { return text != nullptr ? text : "(none)"; }

void PrintInfo(const host::PluginLibrary& library) {
    host::HostSettings settings;
    settings.sampleRateHz = kInfoSampleRateHz;
    host::HostedMachine machine(library, settings);
    machine.Initialise();
    machine.ApplyParameters();  // every parameter at its default
    const host::abi::MachineDescription& d = machine.Description();

    int bandCount = 0;
    for (int i = 0; i < d.globalParameterCount; ++i) {
        const std::string name = Text(d.parameters[i]->name);
        if (name != "Range" && name != "Bandwidth") ++bandCount;
    }

    std::printf("%s (%s)\n", Text(d.fullName), Text(d.shortName));
    std::printf("  file:        %s\n", library.Path().c_str());
    std::printf("  author:      %s\n", Text(d.author));
    std::printf("  type:        %d\n", d.machineType);
    std::printf("  version:     %d\n", d.interfaceVersion);
    std::printf("  flags:       0x%x\n", static_cast<unsigned>(d.flags));
    std::printf("  tracks:      %d..%d, %d track parameters\n", d.minTracks, d.maxTracks,
                d.trackParameterCount);
    std::printf("  bands:       %d\n", bandCount);
    std::printf("  commands:    %s\n", CommandList(d.commands).c_str());
    std::printf("\nParameters (%d; value texts at %d Hz):\n", d.globalParameterCount,
                kInfoSampleRateHz);
    std::printf("  %5s  %-10s %-12s %9s %7s  %s\n", "index", "name", "description", "range",
                "default", "default text");
    for (int i = 0; i < d.globalParameterCount; ++i) {
        const host::abi::ParameterRecord& r = *d.parameters[i];
        const std::string range = std::to_string(r.minimum) + ".." + std::to_string(r.maximum);
        const std::string text = machine.ParameterValueText(i, r.defaultValue);
        std::printf("  %5d  %-10s %-12s %9s %7d  %s\n", i, Text(r.name), Text(r.description),
                    range.c_str(), r.defaultValue, text.c_str());
    }
}

}  // namespace

void AddInfoCommand(CLI::App& app, const GlobalOptions& global) {
    CLI::App* command = app.add_subcommand(
        "info", "Describe a machine: names, author, type, version, flags, bands, commands and "
                "the parameter table with each default's value text");
    auto machine = std::make_shared<std::string>();
    command->add_option("MACHINE", *machine, "Full name, short name or plug-in path")->required();
    command->callback([&global, machine] { PrintInfo(global.Load(*machine)); });
}

}  // namespace lumo::cli
