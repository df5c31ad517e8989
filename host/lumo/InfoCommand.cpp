// lumo info MACHINE [--json]: the machine's description and its parameter table.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "Commands.h"

namespace lumo::cli {
namespace {

constexpr int kInfoSampleRateHz = 44100;

// "&About...\n&Graph..." -> {"&About...", "&Graph..."}
std::vector<std::string> Commands(const char* commands) {
    std::vector<std::string> list;
    std::string line;
    for (const char* c = commands; c != nullptr && *c != '\0'; ++c) {
        if (*c != '\n') {
            line += *c;
            continue;
        }
        list.push_back(line);
        line.clear();
    }
    if (!line.empty()) list.push_back(line);
    return list;
}

// "&About...\n&Graph..." -> "0 &About..., 1 &Graph..."
std::string CommandList(const char* commands) {
    std::string list;
    const std::vector<std::string> lines = Commands(commands);
    for (size_t i = 0; i < lines.size(); ++i)
        list += (i == 0 ? "" : ", ") + std::to_string(i) + " " + lines[i];
    return list.empty() ? "none" : list;
}

const char* Text(const char* text) { return text != nullptr ? text : "(none)"; }

// The same facts for scripts, with every raw value's text and the band centres in Hz (as the
// descriptions give them).
void PrintJson(const host::PluginLibrary& library, host::HostedMachine& machine) {
    const host::abi::MachineDescription& d = machine.Description();
    nlohmann::ordered_json parameters = nlohmann::ordered_json::array();
    for (int i = 0; i < d.globalParameterCount; ++i) {
        const host::abi::ParameterRecord& r = *d.parameters[i];
        nlohmann::ordered_json texts = nlohmann::ordered_json::array();
        for (int raw = r.minimum; raw <= r.maximum; ++raw) texts.push_back(machine.ParameterValueText(i, raw));
        nlohmann::ordered_json parameter = {
            {"index", i},          {"name", Text(r.name)},      {"description", Text(r.description)},
            {"minimum", r.minimum}, {"maximum", r.maximum},     {"default", r.defaultValue},
            {"defaultText", machine.ParameterValueText(i, r.defaultValue)}};
        if (IsBandParameter(d, i)) {
            parameter["centreHz"] = BandCentreHz(r);
            parameter["flat"] = FlatSlider(r);
        }
        parameter["valueTexts"] = texts;
        parameters.push_back(parameter);
    }
    const nlohmann::ordered_json info = {
        {"fullName", Text(d.fullName)},
        {"shortName", Text(d.shortName)},
        {"file", library.Path()},
        {"author", Text(d.author)},
        {"type", d.machineType},
        {"version", d.interfaceVersion},
        {"flags", d.flags},
        {"minTracks", d.minTracks},
        {"maxTracks", d.maxTracks},
        {"trackParameters", d.trackParameterCount},
        {"commands", Commands(d.commands)},
        {"valueTextSampleRateHz", kInfoSampleRateHz},
        {"parameters", parameters}};
    // Texts from the plug-in need not be UTF-8: stray bytes become U+FFFD rather than an error.
    std::printf("%s\n", info.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace).c_str());
}

void PrintInfo(const host::PluginLibrary& library, bool json) {
    host::HostSettings settings;
    settings.sampleRateHz = kInfoSampleRateHz;
    host::HostedMachine machine(library, settings);
    machine.Initialise();
    machine.ApplyParameters();  // every parameter at its default
    if (json) return PrintJson(library, machine);
    const host::abi::MachineDescription& d = machine.Description();

    int bandCount = 0;
    for (int i = 0; i < d.globalParameterCount; ++i) bandCount += IsBandParameter(d, i) ? 1 : 0;

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
                "the parameter table with each default's value text (--json: all of it for scripts)");
    struct InfoOptions {
        std::string machine;
        bool json = false;
    };
    auto options = std::make_shared<InfoOptions>();
    command->add_option("MACHINE", options->machine, "Full name, short name or plug-in path")->required();
    command->add_flag("--json", options->json,
                      "Print JSON: the description, every parameter with its range, default and "
                      "value texts, and the bands' centres in Hz");
    command->callback([&global, options] { PrintInfo(global.Load(options->machine), options->json); });
}

}  // namespace lumo::cli
