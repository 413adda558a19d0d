#include "manual.h"

#include <algorithm>
#include <sstream>

#include "exit_codes.h"

namespace zelo::cli {

namespace {

constexpr const char *kFileArgument = "FILE";
constexpr const char *kAssignmentArgument = "NAME=VALUE";

// Text as roff prints it: backslashes and minus signs escaped, no line
// taken for a request.
std::string roff(const std::string &text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out.push_back(c);
        }
    }
    if (!out.empty() && (out.front() == '.' || out.front() == '\'')) out.insert(0, "\\&");
    return out;
}

std::vector<const CLI::App *> subcommandsOf(const CLI::App &app) {
    return app.get_subcommands([](const CLI::App *) { return true; });
}

std::vector<const CLI::Option *> optionsOf(const CLI::App &app, bool positional) {
    return app.get_options([positional](const CLI::Option *option) { return option->get_positional() == positional; });
}

std::string optionName(const CLI::Option &option) { return option.get_name(false, true); }

void optionsSection(std::ostringstream &out, const CLI::App &app) {
    for (const CLI::Option *option : optionsOf(app, false)) {
        out << ".TP\n\\fB" << roff(optionName(*option)) << "\\fR";
        if (option->get_items_expected_max() > 0) out << " \\fI" << roff(option->get_type_name()) << "\\fR";
        out << '\n' << roff(option->get_description()) << '\n';
    }
}

void commandEntry(std::ostringstream &out, const CLI::App &command, const std::string &parents) {
    const std::string path = parents.empty() ? command.get_name() : parents + " " + command.get_name();
    const std::vector<const CLI::App *> children = subcommandsOf(command);
    if (!children.empty() && command.get_description().empty()) {
        for (const CLI::App *child : children) commandEntry(out, *child, path);
        return;
    }
    out << ".TP\n\\fB" << roff(path) << "\\fR";
    for (const CLI::Option *argument : optionsOf(command, true)) out << " \\fI" << roff(argument->get_name(true)) << "\\fR";
    out << '\n' << roff(command.get_description()) << '\n';
    for (const CLI::Option *argument : optionsOf(command, true)) {
        out << ".RS\n.TP\n\\fI" << roff(argument->get_name(true)) << "\\fR\n" << roff(argument->get_description()) << "\n.RE\n";
    }
    for (const CLI::Option *option : optionsOf(command, false)) {
        if (optionName(*option).find("--help") != std::string::npos) continue;
        out << ".RS\n.TP\n\\fB" << roff(optionName(*option)) << "\\fR\n" << roff(option->get_description()) << "\n.RE\n";
    }
    for (const CLI::App *child : children) commandEntry(out, *child, path);
}

// The completion words after one subcommand path.
void completionCase(std::ostringstream &out, const CLI::App &command, const std::string &path, bool top) {
    const std::vector<const CLI::App *> children = subcommandsOf(command);
    std::string words;
    for (const CLI::App *child : children) words += child->get_name() + " ";
    for (const CLI::Option *option : optionsOf(command, false)) {
        std::string names = optionName(*option);
        std::replace(names.begin(), names.end(), ',', ' ');
        words += names + " ";
    }
    std::string action = "words=\"" + words + "\"";
    for (const CLI::Option *argument : optionsOf(command, true)) {
        if (argument->get_name(true) == kFileArgument) action = "files=1; words=\"" + words + "\"";
        if (argument->get_name(true) == kAssignmentArgument) action = "words=\"$settings " + words + "\"; compopt -o nospace";
    }
    const std::string pattern = top ? "\"\"" : children.empty() ? "\"" + path + "\"*" : "\"" + path + "\"";
    out << "        " << pattern << ") " << action << " ;;\n";
    for (const CLI::App *child : children) {
        completionCase(out, *child, path.empty() ? child->get_name() : path + " " + child->get_name(), false);
    }
}

}  // namespace

std::string manualPage(const CLI::App &app, const std::string &version, const std::string &rulesFile) {
    std::ostringstream out;
    out << ".TH ZELO 1 \"\" \"zelo " << roff(version) << "\" \"User Commands\"\n"
        << ".SH NAME\nzelo \\- " << roff(app.get_description()) << '\n'
        << ".SH SYNOPSIS\n.B zelo\n[\\fIOPTIONS\\fR] \\fISUBCOMMAND\\fR [\\fIARGUMENTS\\fR]\n"
        << ".SH DESCRIPTION\n"
        << "Results go to standard output, refusals, warnings and progress to standard error, one line each.\n"
        << "A save, a firmware update or a module operation under way is finished even when interrupted.\n"
        << ".SH OPTIONS\n";
    optionsSection(out, app);
    out << ".SH COMMANDS\n";
    for (const CLI::App *command : subcommandsOf(app)) commandEntry(out, *command, "");
    out << ".SH EXIT STATUS\n";
    for (const ExitCodeText &code : kExitCodes) out << ".TP\n" << code.code << '\n' << roff(std::string(code.meaning)) << '\n';
    out << ".SH FILES\n.TP\n" << roff(rulesFile) << "\nThe udev rule that lets the user at the machine open the accessory.\n"
        << ".SH ENVIRONMENT\n.TP\nZELO_STATE_DIR\n"
        << "Where records of saves under way are kept (default: $XDG_STATE_HOME/zelo or ~/.local/state/zelo).\n";
    return out.str();
}

std::string bashCompletion(const CLI::App &app, const std::vector<std::string> &settingNames) {
    std::ostringstream out;
    out << "# bash completion for zelo, written by 'zelo --bash-completion'\n"
        << "_zelo() {\n"
        << "    local cur=${COMP_WORDS[COMP_CWORD]} path='' words='' files='' i\n"
        << "    local settings='";
    for (const std::string &name : settingNames) out << name << "= ";
    out << "'\n"
        << "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
        << "        case ${COMP_WORDS[i]} in\n"
        << "            --device) ((i++)) ;;\n"
        << "            -*) ;;\n"
        << "            *) path=\"$path ${COMP_WORDS[i]}\" ;;\n"
        << "        esac\n"
        << "    done\n"
        << "    path=${path# }\n"
        << "    case $path in\n";
    completionCase(out, app, "", true);
    out << "    esac\n"
        << "    COMPREPLY=($(compgen -W \"$words\" -- \"$cur\"))\n"
        << "    [ -n \"$files\" ] && COMPREPLY+=($(compgen -f -- \"$cur\"))\n"
        << "    return 0\n"
        << "}\n"
        << "complete -F _zelo zelo\n";
    return out.str();
}

}  // namespace zelo::cli
