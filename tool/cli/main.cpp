// zelo: the accessory from the command line. Only the argument wiring
// lives here; the subcommands are in commands_*.cpp.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
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
#include "manual.h"
#include "setting_names.h"
#include "version.h"

namespace {

using namespace zelo::cli;

// Not in --help: what the build runs to write zelo.1 and the completion.
constexpr std::string_view kManualOption = "--manual";
constexpr std::string_view kCompletionOption = "--bash-completion";

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
    // Named, so the usage line says "zelo" rather than the path it was run by.
    CLI::App app{"Configures a ZE-LO accessory.", "zelo"};
    Arguments arguments;
    std::function<int(Context &)> run;
    // The subcommand that has no JSON output, when one was chosen: --json
    // with it is refused rather than ignored.
    std::string withoutJson;

    void noJson(CLI::App *sub, std::string name) {
        sub->parse_complete_callback([this, name = std::move(name)] { withoutJson = name; });
    }

    CLI::App *command(const std::string &name, const std::string &description, std::function<int(Context &)> body) {
        CLI::App *sub = app.add_subcommand(name, description);
        sub->final_callback([this, body] { run = body; });
        return sub;
    }

    void globalOptions() {
        Options &options = arguments.options;
        app.add_option("--device", options.device,
                       "the accessory's number as 'zelo list' shows it, its device path or its address "
                       "(needed when more than one is attached)");
        app.add_flag("--json", options.json,
                     "data as JSON (list, info, show, firmware, ir watch) or the result as an object (set, import, "
                     "reset, pair); stdout then carries the JSON alone");
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
        noJson(update, "firmware update");
        firmware->final_callback([this, update] { run = *update ? firmwareUpdateCommand : firmwareStatusCommand; });
        command("pair", "start pairing with a PS3", pairCommand);
        CLI::App *wait = command("wait", "block until an accessory is attached",
                                 [this](Context &context) { return waitCommand(context, arguments.timeout); });
        wait->add_option("--timeout", arguments.timeout, "give up after S seconds (exit code 3)")
            ->check(CLI::NonNegativeNumber);
        noJson(wait, "wait");
    }

    void settingsCommands() {
        command("show", "the whole configuration (--json: as a settings file)", showCommand);
        CLI::App *exported = command("export", "write the configuration to a settings file",
                                     [this](Context &context) { return exportCommand(context, arguments.file); });
        exported->add_option("FILE", arguments.file, "settings file to write ('-': standard output)")->required();
        noJson(exported, "export");
        CLI::App *import = command("import", "write a settings file to the accessory", [this](Context &context) {
            return importCommand(context, arguments.file, arguments.dryRun);
        });
        import->add_option("FILE", arguments.file, "settings file to read ('-': standard input)")->required();
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
        noJson(module, "module");
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
        noJson(send, "ir send");
        send->final_callback([this] {
            run = [this](Context &context) { return irSendCommand(context, arguments.irCommand); };
        });
    }
};

// No input may end in an abort: whatever a subcommand throws is reported.
int runGuarded(const std::function<int(Context &)> &run, Context &context) {
    try {
        return run(context);
    } catch (const std::exception &error) {
        return refuse(context, kExitFailure, std::string("internal error: ") + error.what());
    } catch (...) {
        return refuse(context, kExitFailure, "internal error");
    }
}

// A result that could not be written is no success. Reported only now,
// after the device work is done.
int checkOutput(Context &context, int code) {
    std::cout.flush();
    if (std::cout) return code;
    refuse(context, kExitFailure, "the output could not be written (closed pipe or full disk)");
    return code == kExitOk ? kExitFailure : code;
}

}  // namespace

int main(int argc, char **argv) {
    Wiring wiring;
    wiring.globalOptions();
    wiring.accessoryCommands();
    wiring.settingsCommands();
    wiring.maintenanceCommands();
    // For the build: the manual page and the completion from this wiring.
    if (argc == 2 && std::string_view(argv[1]) == kManualOption) {
        std::cout << manualPage(wiring.app, ZELO_TOOL_VERSION_TEXT, ZELO_UDEV_RULES_FILE);
        return kExitOk;
    }
    if (argc == 2 && std::string_view(argv[1]) == kCompletionOption) {
        std::cout << bashCompletion(wiring.app, settingNames());
        return kExitOk;
    }
    try {
        wiring.app.parse(argc, argv);
    } catch (const CLI::ParseError &error) {
        const int code = wiring.app.exit(error);
        return code == 0 ? kExitOk : kExitUsage;
    }
    if (!wiring.run) return kExitUsage;
    installInterruptHandler();
    Context context{wiring.arguments.options, std::cout, std::cerr, interruptFlag()};
    if (context.options.json && !wiring.withoutJson.empty()) {
        return refuse(context, kExitUsage, "--json: 'zelo " + wiring.withoutJson + "' has no JSON output");
    }
    context.progressOnTerminal = ZELO_ISATTY(ZELO_FILENO(stderr)) != 0;
    return checkOutput(context, runGuarded(wiring.run, context));
}
