// lumo: loads a Tarvo Lumo plug-in as a host would and describes it, equalises audio files with
// it or renders its response graph.
#include <cstdio>
#include <exception>
#include <string>

#include "Commands.h"

namespace lumo::cli {

void ApplySettings(host::HostedMachine& machine, const std::vector<std::string>& settings) {
    for (const ParameterSetting& setting : ResolveSettings(machine.Description(), settings)) {
        machine.SetParameter(setting.index, setting.raw);
        if (!setting.note.empty()) std::printf("%s\n", setting.note.c_str());
    }
    machine.ApplyParameters();
}

}  // namespace lumo::cli

int main(int argc, char** argv) {
    CLI::App app{
        "lumo: hosts a Tarvo Lumo graphic equaliser plug-in.\n"
        "MACHINE is a full name (\"Tarvo Lumo-31\"), a short name (\"Lumo-31\") or the path of a "
        "plug-in file;\nnames are looked up in the plug-in directory (--plugins, else "
        "LUMO_PLUGIN_DIR, else ../plugins next to lumo)."};
    app.require_subcommand(1);
    app.set_version_flag("--version", "lumo " LUMO_VERSION);
    lumo::cli::GlobalOptions global;
    app.add_option("--plugins", global.pluginDirectory, "Directory holding the plug-in files")
        ->type_name("DIR");

    lumo::cli::AddInfoCommand(app, global);
#ifdef LUMO_WITH_SNDFILE
    lumo::cli::AddEqCommand(app, global);
#endif
    lumo::cli::AddGraphCommand(app, global);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        // A first word that names no command of this build (the Windows build has no eq).
        const std::vector<std::string> words = app.remaining();
        if (app.get_subcommands().empty() && !words.empty() && !words.front().empty() &&
            words.front()[0] != '-') {
            std::string names;
            for (const CLI::App* command : app.get_subcommands({}))
                names += (names.empty() ? "" : ", ") + command->get_name();
            std::fprintf(stderr, "lumo: unknown command '%s' (commands: %s)\n",
                         words.front().c_str(), names.c_str());
            return 2;
        }
        std::fprintf(stderr, "lumo: %s (see lumo --help)\n", e.what());
        return 2;
    } catch (const lumo::cli::ExitStatus& status) {
        return status.code;
    } catch (const lumo::host::HostError& e) {
        std::fprintf(stderr, "lumo: %s\n", e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumo: %s\n", e.what());
        return 1;
    }
    return 0;
}
