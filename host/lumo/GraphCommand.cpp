// lumo graph MACHINE -o OUT.png: opens the machine's graph window and saves what it paints.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "Commands.h"
#include "lumo/host/HostEnvironment.h"
#include "lumo/host/Text.h"
#include <lumo/abi/GraphWindow.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <lumo/standin.h>

#include "OutputFile.h"
#endif

namespace lumo::cli {
namespace {

namespace fs = std::filesystem;
using host::HostError;

// The outer sizes the graph window can be dragged to; the client area is smaller by the frame.
constexpr int kMinOuterWidth = abi::kGraphWindowMinWidth, kMinOuterHeight = abi::kGraphWindowMinHeight;
constexpr int kMaxOuterWidth = abi::kGraphWindowMaxWidth, kMaxOuterHeight = abi::kGraphWindowMaxHeight;

struct Frame {
    int width, height;  // outer size minus client size
};

// The graph window's frame on this platform, before any window is open: the system's frame for
// its styles (a tool window with caption, system menu and sizing border) on Windows, the
// stand-in's fixed borders natively.
Frame PlatformFrame() {
#ifdef _WIN32
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, FALSE, WS_EX_TOOLWINDOW);
    return {frame.right - frame.left, frame.bottom - frame.top};
#else
    return {2 * kLumoStandinFrameBorder, 2 * kLumoStandinFrameBorder + kLumoStandinCaptionHeight};
#endif
}

std::string ClientRange(const Frame& frame) {
    return std::to_string(kMinOuterWidth - frame.width) + "x" +
           std::to_string(kMinOuterHeight - frame.height) + " to " +
           std::to_string(kMaxOuterWidth - frame.width) + "x" +
           std::to_string(kMaxOuterHeight - frame.height);
}

#ifdef _WIN32
bool IsReadOnlyFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}
#endif

// Refusals before any window opens: lumo graph writes PNG, into a folder that exists.
void CheckOutput(const std::string& path, bool force) {
    const std::string extension = host::ToLower(fs::path(path).extension().string());
    if (extension != ".png")
        throw HostError("-o " + path + ": lumo graph writes PNG images; name the file .png");
    std::error_code error;
    const fs::path folder = fs::path(path).parent_path();
    if (!folder.empty() && !fs::is_directory(folder, error))
        throw HostError("cannot write " + path + ": the folder " + folder.string() + " does not exist");
    if (fs::is_directory(path, error)) throw HostError("cannot write " + path + ": it is a folder");
#ifndef _WIN32
    CheckOutputPath(path, force);
#else
    if (IsReadOnlyFile(path) && !force) throw HostError(path + " is read-only; use --force to replace it");
#endif
}

struct GraphOptions {
    std::string machine;
    std::string output;
    std::string size;  // "WxH" of the client area; empty: the window's own size
    std::vector<std::string> settings;
    bool force = false;
};

#ifndef _WIN32
// As lumo eq writes: into a hidden temporary file beside OUT, renamed over it only once the
// image is complete; a failure says whether the painting or the writing failed.
void SaveImage(void* window, const std::string& path, bool force) {
    OutputFile out(path, force);
    errno = 0;
    try {
        host::SaveClientPng(window, out.WritePath());
    } catch (const HostError&) {
        const int error = errno;
        try {
            host::SaveClientPng(window, "/dev/null");
        } catch (const HostError&) {
            throw HostError("cannot write " + path + ": the graph window was not painted");
        }
        throw HostError("cannot write " + path + ": " +
                        (error != 0 ? std::strerror(error) : "the image could not be written"));
    }
    out.Commit();
}
#else
// As on Linux: into a hidden temporary file beside OUT, moved over it only once the image is
// complete (CheckOutput has refused a read-only OUT without --force).
void SaveImage(void* window, const std::string& path, bool /*force: CheckOutput applied it*/) {
    fs::path temporary(path);
    temporary.replace_filename("." + temporary.filename().string() + ".lumo-" +
                               std::to_string(GetCurrentProcessId()) + ".tmp");
    try {
        host::SaveClientPng(window, temporary.string());
    } catch (const HostError& failure) {
        DeleteFileA(temporary.string().c_str());
        throw HostError("cannot write " + path + ": " + failure.what());
    }
    if (IsReadOnlyFile(path))  // refused earlier unless --force: MoveFileExA replaces no read-only file
        SetFileAttributesA(path.c_str(), GetFileAttributesA(path.c_str()) & ~FILE_ATTRIBUTE_READONLY);
    if (!MoveFileExA(temporary.string().c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const DWORD error = GetLastError();
        DeleteFileA(temporary.string().c_str());
        throw HostError("cannot write " + path + " (Windows error " + std::to_string(error) + ")");
    }
}
#endif

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
    CheckOutput(options.output, options.force);
#ifndef _WIN32
    RemoveTemporaryOnSignals();
#endif

    const host::PluginLibrary library = global.Load(options.machine);
    host::HostedMachine machine(library);
    machine.Initialise();
    ApplySettings(machine, options.settings);
    machine.RunCommand(abi::kCommandGraph);

    host::HostEnvironment& environment = host::HostEnvironment::Instance();
    environment.PumpMessages();
    // The machine's window is the one it opened for the host's main window.
    const std::vector<void*> windows = host::OwnedWindows(environment.MainWindow());
    if (windows.empty())
        throw HostError(std::string(machine.Description().shortName) +
                        " opened no graph window on its Graph command");
    void* window = windows.front();

    if (!options.size.empty()) {
        // The frame of the window as opened (a system's may differ from PlatformFrame's).
        const host::WindowGeometry geometry = host::GetWindowGeometry(window);
        const Frame frame{geometry.width - geometry.clientWidth, geometry.height - geometry.clientHeight};
        const int outerWidth = clientWidth + frame.width;
        const int outerHeight = clientHeight + frame.height;
        if (outerWidth < kMinOuterWidth || outerWidth > kMaxOuterWidth ||
            outerHeight < kMinOuterHeight || outerHeight > kMaxOuterHeight)
            throw HostError("--size " + options.size + " does not fit the graph window: its client "
                            "area can be " + ClientRange(frame));
        host::SetClientSize(window, clientWidth, clientHeight);
        environment.PumpMessages();
    }

    const host::WindowGeometry geometry = host::GetWindowGeometry(window);
    SaveImage(window, options.output, options.force);
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
    command->add_option("-o,--output", options->output, "PNG file to write (.png)")->required();
    command->add_option("--size", options->size,
                        "Client area WIDTHxHEIGHT, from " + ClientRange(PlatformFrame()) +
                            " (default: the window's own size)")
        ->type_name("WxH");
    command
        ->add_option("--set", options->settings,
                     "NAME=VALUE as for lumo eq; repeat for each parameter, the others keep "
                     "their defaults")
        ->type_name("NAME=VALUE")
        ->allow_extra_args(false);
    command->add_flag("--force", options->force, "Replace a read-only OUT.png");
    command->callback([&global, options] { RenderGraph(global, *options); });
}

}  // namespace lumo::cli
