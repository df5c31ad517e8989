// lumo: loads a Tarvo Lumo plug-in as a host would and describes it, equalises audio files with
// it or renders its response graph.
#include <cstdio>
#include <exception>
#include <string>

#include "Commands.h"

namespace lumo::cli {

void ApplySettings(host::HostedMachine& machine, const std::vector<std::string>& settings) {
    for (const host::ParameterSetting& setting :
         host::ResolveSettings(machine.Description(), settings)) {
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

    // The first word that is no option or option value names the command.
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--plugins") {
            ++i;
            continue;
        }
        if (word.empty() || word[0] == '-') continue;
        std::string names;
        bool known = false;
        for (const CLI::App* command : app.get_subcommands({})) {
            known = known || command->check_name(word);
            names += (names.empty() ? "" : ", ") + command->get_name();
        }
        if (word == "eq" && !known) {
            std::fprintf(stderr, "lumo: eq is not available in this build (it has no audio file "
                                 "support); use the Linux build of lumo\n");
            return 2;
        }
        if (!known) {
            std::fprintf(stderr, "lumo: unknown command '%s' (commands: %s)\n", word.c_str(),
                         names.c_str());
            return 2;
        }
        break;
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
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
