// zelo: the accessory from the command line. Only the argument wiring
// lives here; the subcommands are in commands_*.cpp.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#define ZELO_ISATTY _isatty
#define ZELO_FILENO _fileno
#else
#include <unistd.h>
#define ZELO_ISATTY isatty
#define ZELO_FILENO fileno
#endif

#include "commands.h"
#include "exit_codes.h"
#include "interrupt.h"
#include "version.h"

namespace {

using namespace zelo::cli;

struct Arguments {
    Options options;
    std::string file;
    bool dryRun = false;
    std::vector<std::string> assignments;
    std::string irCommand;
    std::optional<double> timeout;
};

std::string exitCodesText() {
    std::string text = "Exit codes:\n";
    for (const ExitCodeText &code : kExitCodes) text += "  " + std::to_string(code.code) + "  " + std::string(code.meaning) + "\n";
    return text;
}

struct Wiring {
    CLI::App app{"Configures a ZE-LO accessory."};
    Arguments arguments;
    std::function<int(Context &)> run;

    CLI::App *command(const std::string &name, const std::string &description, std::function<int(Context &)> body) {
        CLI::App *sub = app.add_subcommand(name, description);
        sub->final_callback([this, body] { run = body; });
        return sub;
    }

    void globalOptions() {
        Options &options = arguments.options;
        app.add_option("--device", options.device, "number of the accessory, as 'zelo list' shows it (default 0)")
            ->check(CLI::NonNegativeNumber);
        app.add_flag("--json", options.json, "data as JSON (list, info, show, firmware, ir watch)");
        app.add_flag("-q,--quiet", options.quiet, "no progress and no confirmations");
        CLI::Option *finish = app.add_flag("--finish-save", options.finishSave,
                                           "finish a save an unplug cut short (writes the settings it was writing)");
        app.add_flag("--undo-save,--keep-settings", options.keepSettings,
                     "undo a save an unplug cut short (writes back the settings from before it)")
            ->excludes(finish);
        app.set_version_flag("--version", std::string(ZELO_TOOL_FILE_VERSION_TEXT));
        app.footer(exitCodesText());
        app.require_subcommand(1);
        app.fallthrough();
    }

    void accessoryCommands() {
        command("list", "the attached accessories: number, model, firmware and loader versions, path", listCommand);
        command("info", "the accessory's model, versions, device value, address, first connection, firmware state",
                infoCommand);
        CLI::App *firmware = app.add_subcommand("firmware", "whether the accessory's firmware is current");
        firmware->require_subcommand(0, 1);
        CLI::App *update = firmware->add_subcommand("update", "update the firmware from the images built into this program");
        firmware->final_callback([this, update] { run = *update ? firmwareUpdateCommand : firmwareStatusCommand; });
        command("pair", "start pairing with a PS3", pairCommand);
        CLI::App *wait = command("wait", "block until an accessory is attached",
                                 [this](Context &context) { return waitCommand(context, arguments.timeout); });
        wait->add_option("--timeout", arguments.timeout, "give up after S seconds (exit code 3)")
            ->check(CLI::NonNegativeNumber);
    }

    void settingsCommands() {
        command("show", "the whole configuration (--json: as a settings file)", showCommand);
        command("export", "write the configuration to a settings file",
                [this](Context &context) { return exportCommand(context, arguments.file); })
            ->add_option("FILE", arguments.file, "settings file to write")->required();
        CLI::App *import = command("import", "write a settings file to the accessory", [this](Context &context) {
            return importCommand(context, arguments.file, arguments.dryRun);
        });
        import->add_option("FILE", arguments.file, "settings file to read")->required();
        import->add_flag("--dry-run", arguments.dryRun, "show the differences and write nothing");
        command("set", "change single settings by their names in the settings file",
                [this](Context &context) { return setCommand(context, arguments.assignments); })
            ->add_option("NAME=VALUE", arguments.assignments,
                         "for example deviceCode=26.73 or macros[2].steps[0].command=PS")
            ->required();
        command("reset", "restore default settings, keeping the accessory's identity", resetCommand);
    }

    void maintenanceCommands() {
        CLI::App *module = app.add_subcommand("module", "the Bluetooth module's firmware");
        module->require_subcommand(1);
        CLI::App *install = module->add_subcommand("install", "install a module file");
        install->add_option("FILE", arguments.file, "module file (raw or Intel HEX)")->required();
        install->final_callback([this] {
            run = [this](Context &context) { return moduleCommand(context, ModuleAction::Install, arguments.file); };
        });
        module->add_subcommand("restore", "install the module firmware built into this program")->final_callback([this] {
            run = [](Context &context) { return moduleCommand(context, ModuleAction::Restore, {}); };
        });
        module->add_subcommand("erase", "erase the module")->final_callback([this] {
            run = [](Context &context) { return moduleCommand(context, ModuleAction::Erase, {}); };
        });
        CLI::App *ir = app.add_subcommand("ir", "IR test");
        ir->require_subcommand(1);
        ir->add_subcommand("watch", "print each IR command received, until Ctrl-C")->final_callback([this] {
            run = irWatchCommand;
        });
        CLI::App *send = ir->add_subcommand("send", "make the accessory transmit a command (X model)");
        send->add_option("COMMAND", arguments.irCommand, "command name, as in the key map")->required();
        send->final_callback([this] {
            run = [this](Context &context) { return irSendCommand(context, arguments.irCommand); };
        });
    }
};

}  // namespace

int main(int argc, char **argv) {
    Wiring wiring;
    wiring.globalOptions();
    wiring.accessoryCommands();
    wiring.settingsCommands();
    wiring.maintenanceCommands();
    try {
        wiring.app.parse(argc, argv);
    } catch (const CLI::ParseError &error) {
        const int code = wiring.app.exit(error);
        return code == 0 ? kExitOk : kExitUsage;
    }
    if (!wiring.run) return kExitUsage;
    installInterruptHandler();
    Context context{wiring.arguments.options, std::cout, std::cerr, interruptFlag()};
    context.progressOnTerminal = ZELO_ISATTY(ZELO_FILENO(stderr)) != 0;
    const int code = wiring.run(context);
    std::cout.flush();
    return code;
}
