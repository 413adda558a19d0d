// show, export, import, set, reset: the configuration through settings
// documents, checked exactly as the program checks an imported file.
#include <algorithm>
#include <iostream>

#include "commands.h"
#include "config_session.h"
#include "exit_codes.h"
#include "file_replace.h"
#include "files.h"
#include "save.h"
#include "session.h"
#include "settings_file.h"
#include "settings_paths.h"
#include "settings_transfer.h"
#include "settings_view.h"
#include "text.h"

namespace zelo::cli {

namespace {

constexpr char kAssignment = '=';

Json documentJson(const std::string &text) { return Json::parse(text); }

constexpr std::string_view kSettingsPrefix = "settings.";

// A setting the other model has is named as such rather than as unknown.
std::string assignmentRefusal(std::string_view name, const Json &document, const device::CDeviceLink &link,
                              std::string error) {
    if (name.substr(0, kSettingsPrefix.size()) != kSettingsPrefix) return error;
    const std::string_view row = name.substr(kSettingsPrefix.size());
    if (settings::findSettingRow(row) == nullptr || document["settings"].contains(row)) return error;
    return std::string(name) + ": the " + std::string(settings::modelName(link.variant())) + " model has no such setting";
}

// The working copy as a settings document.
std::string workingSettings(const device::CDeviceLink &link) {
    return settings::writeSettingsFile(
        settings::documentOf(link.record.workingCopy(), link.variant(), "", firmwareText(link)));
}

void printWarnings(Context &context, const std::vector<std::string> &warnings) {
    for (const std::string &warning : warnings) context.err << "zelo: warning: " << warning << '\n';
}

// Applies text to the working copy; a refusal changes nothing.
int applyText(Context &context, Accessory &accessory, const std::string &text, const std::string &source) {
    device::CDeviceLink &link = accessory.link;
    const settings::ImportResult imported = settings::importSettings(text, link.variant(), link.record.workingCopy());
    if (!imported.applied) return refuse(context, kExitUsage, source + imported.refusal);
    printWarnings(context, imported.warnings);
    return kExitOk;
}

std::vector<std::string> pendingChanges(const device::CDeviceLink &link) {
    return settingDifferences(documentJson(app::readSettings(link)), documentJson(workingSettings(link)));
}

// With --json, what a write did (or a dry run would do) as one object.
void printResult(Context &context, bool written, const std::vector<std::string> &changes, bool dryRun = false) {
    Json result{{"written", written}, {"changes", changes}};
    if (dryRun) result["dryRun"] = true;
    context.out << result.dump(2) << '\n';
}

// Saves what the working copy changed, after listing it.
int saveChanges(Context &context, Accessory &accessory) {
    const std::vector<std::string> changes = pendingChanges(accessory.link);
    if (changes.empty()) {
        if (context.options.json) printResult(context, false, changes);
        confirm(context, "the accessory already holds these settings; nothing written");
        return kExitOk;
    }
    const int saved = saveConfiguration(context, accessory);
    if (saved != kExitOk) return saved;
    if (context.options.json) {
        printResult(context, true, changes);
        return kExitOk;
    }
    for (const std::string &change : changes) confirm(context, change);
    return kExitOk;
}

}  // namespace

int showCommand(Context &context) {
    Accessory accessory;
    if (const int result = connect(context, accessory, Need::Configuration); result != kExitOk) return result;
    const std::string text = app::readSettings(accessory.link);
    if (context.options.json) {
        context.out << text;
        return kExitOk;
    }
    Json document = documentJson(text);
    // As list and info show it, naming the firmware's own answer where it differs.
    document["firmware"] = firmwareLine(accessory.link);
    context.out << settingsText(document);
    return kExitOk;
}

int exportCommand(Context &context, const std::string &file) {
    Accessory accessory;
    if (const int result = connect(context, accessory, Need::Configuration); result != kExitOk) return result;
    const std::string text = app::readSettings(accessory.link);
    if (file == kStandardStream) {
        context.out << text;
        return kExitOk;
    }
    // The accessory was read; what failed is the disk, not the command line.
    std::string error;
    if (!device::writeFileReplacing(file, text, &error)) return refuse(context, kExitFailure, error);
    confirm(context, "settings written to " + file);
    return kExitOk;
}

int importCommand(Context &context, const std::string &file, bool dryRun) {
    std::string error;
    const std::optional<std::string> text = file == kStandardStream
                                                ? readStreamLimited(std::cin, settings::kMaxFileSize)
                                                : readFileLimited(file, settings::kMaxFileSize, &error);
    if (!text) return refuse(context, kExitUsage, error);
    // A bad file is refused before the accessory is even looked for.
    const settings::ReadResult read = settings::readSettingsFile(*text);
    const std::string source = file == kStandardStream ? std::string("standard input") : file;
    if (!read.document) return refuse(context, kExitUsage, source + ": " + read.refusal);

    Accessory accessory;
    if (const int result = connect(context, accessory, Need::Configuration); result != kExitOk) return result;
    if (const int applied = applyText(context, accessory, *text, source + ": "); applied != kExitOk) return applied;
    if (!dryRun) return saveChanges(context, accessory);
    const std::vector<std::string> changes = pendingChanges(accessory.link);
    if (context.options.json) {
        printResult(context, false, changes, true);
        return kExitOk;
    }
    for (const std::string &change : changes) context.out << change << '\n';
    const std::string count = std::to_string(changes.size()) + (changes.size() == 1 ? " difference" : " differences");
    confirm(context, (changes.empty() ? std::string("no differences") : count) + "; nothing written (dry run)");
    return kExitOk;
}

int setCommand(Context &context, const std::vector<std::string> &assignments) {
    for (const std::string &assignment : assignments) {
        if (!isUtf8(assignment)) return refuse(context, kExitUsage, "an assignment is not valid UTF-8 text");
        if (assignment.find(kAssignment) == std::string::npos) {
            return refuse(context, kExitUsage, "'" + assignment + "' is not NAME=VALUE");
        }
    }
    Accessory accessory;
    if (const int result = connect(context, accessory, Need::Configuration); result != kExitOk) return result;
    Json document = documentJson(workingSettings(accessory.link));
    for (const std::string &assignment : assignments) {
        const std::size_t at = assignment.find(kAssignment);
        const std::string_view name = std::string_view(assignment).substr(0, at);
        std::string error;
        if (!assignSetting(document, name, std::string_view(assignment).substr(at + 1), &error)) {
            return refuse(context, kExitUsage, assignmentRefusal(name, document, accessory.link, error));
        }
    }
    const int applied = applyText(context, accessory, document.dump(), "");
    return applied != kExitOk ? applied : saveChanges(context, accessory);
}

int resetCommand(Context &context) {
    Accessory accessory;
    if (const int result = connect(context, accessory, Need::Configuration); result != kExitOk) return result;
    if (!app::restoreDefaults(&accessory.link)) {
        return refuse(context, kExitFailure, "this program has no default settings for this accessory's model");
    }
    const int saved = saveConfiguration(context, accessory, Commit::ReadCopy);
    if (saved != kExitOk) return saved;
    if (context.options.json) context.out << Json{{"written", true}, {"defaultsRestored", true}}.dump(2) << '\n';
    confirm(context, "default settings restored; the accessory's identity was kept");
    return kExitOk;
}

}  // namespace zelo::cli
