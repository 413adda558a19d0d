// What zelo prints and answers, as scripts rely on it: stdout carries the
// data (the JSON alone with --json), stderr the reasons, the exit code
// says how it went, and '-' is standard input or output.
#include <cstdlib>

#include "cli_process_support.h"

namespace zelo::cli::test {
namespace {

using Json = nlohmann::ordered_json;

constexpr const char *kStandard = "standard:state=acc.bin";
constexpr int kOk = 0, kFailure = 1, kUsage = 2, kNoAccessory = 3;

class CliOutputTest : public CliProcessTest {};

TEST_F(CliOutputTest, NoAccessoryListedIsExitCodeThreeWithItsReasonOnStderr) {
    for (const char *arguments : {"list", "-q list", "--json list"}) {
        const Outcome list = zelo("none", arguments);
        EXPECT_EQ(list.code, kNoAccessory) << arguments;
        EXPECT_NE(list.err.find("zelo: no accessory is attached"), std::string::npos) << arguments << ": " << list.err;
    }
    EXPECT_EQ(zelo("none", "--json list").out, "[]\n") << "still a list for scripts";
    EXPECT_EQ(zelo("none", "list").out, "");
}

TEST_F(CliOutputTest, JsonIsAResultObjectOrRefusedNeverIgnored) {
    const Outcome set = zelo(kStandard, "--json set deviceCode=1.2");
    ASSERT_EQ(set.code, kOk) << set.err;
    const Json written = Json::parse(set.out);  // nothing but the object
    EXPECT_EQ(written["written"], true);
    EXPECT_EQ(written["changes"], Json::array({"deviceCode: 26.73 -> 1.2"}));
    EXPECT_NE(set.err.find("saving: 100%"), std::string::npos) << "progress stays on stderr";

    EXPECT_EQ(Json::parse(zelo(kStandard, "--json set deviceCode=1.2").out)["written"], false);
    ASSERT_EQ(zelo(kStandard, "export mine.zelo").code, kOk);
    const Json dry = Json::parse(zelo(kStandard, "--json import --dry-run mine.zelo").out);
    EXPECT_EQ(dry["dryRun"], true);
    EXPECT_EQ(dry["written"], false);
    EXPECT_EQ(Json::parse(zelo(kStandard, "--json pair").out)["pairing"], "started");
    EXPECT_EQ(Json::parse(zelo(kStandard, "--json reset").out)["defaultsRestored"], true);

    for (const char *arguments : {"export x.zelo", "module erase", "firmware update", "wait --timeout 0", "ir send PLAY"}) {
        const Outcome refused = zelo(kStandard, std::string("--json ") + arguments);
        EXPECT_EQ(refused.code, kUsage) << arguments;
        EXPECT_NE(refused.err.find("has no JSON output"), std::string::npos) << arguments << ": " << refused.err;
        EXPECT_EQ(refused.out, "");
    }
}

TEST_F(CliOutputTest, DashIsStandardInputAndOutput) {
    const Outcome exported = zelo(kStandard, "export -");
    ASSERT_EQ(exported.code, kOk) << exported.err;
    Json file = Json::parse(exported.out);
    EXPECT_EQ(file["deviceCode"], "26.73");
    file["deviceCode"] = "3.4";
    writeText("edited.zelo", file.dump());
    const Outcome imported = zelo(kStandard, "-q import - <edited.zelo");
    EXPECT_EQ(imported.code, kOk) << imported.err;
    EXPECT_EQ(Json::parse(zelo(kStandard, "--json show").out)["deviceCode"], "3.4");
    writeText("bad.zelo", "{");
    const Outcome bad = zelo(kStandard, "-q import - <bad.zelo");
    EXPECT_EQ(bad.code, kUsage);
    EXPECT_NE(bad.err.find("standard input: "), std::string::npos) << bad.err;
}

TEST_F(CliOutputTest, AFailedOutputWriteIsNoSuccessAndTheUsageNamesZelo) {
    const Outcome full = zelo(kStandard, "list", "/dev/full");
    EXPECT_EQ(full.code, kFailure);
    EXPECT_NE(full.err.find("the output could not be written"), std::string::npos) << full.err;

    const Outcome help = zelo("none", "--help");
    EXPECT_NE(help.out.find("Usage: zelo [OPTIONS] SUBCOMMAND"), std::string::npos) << help.out;
    EXPECT_EQ(help.out.find(ZELO_CLI_PROGRAM), std::string::npos) << "not the path it was run by";
}

// The manual page and the completion come from the wiring --help shows.
TEST_F(CliOutputTest, ManualAndCompletionCoverWhatHelpShows) {
    const std::string help = zelo("none", "--help").out;
    const std::string manual = zelo("none", "--manual").out;
    EXPECT_NE(manual.find(".TH ZELO 1"), std::string::npos);
    for (const char *command : {"list", "info", "show", "export", "import", "set", "reset", "firmware update", "module install",
                                "ir watch", "ir send", "pair", "wait"}) {
        EXPECT_NE(manual.find("\\fB" + std::string(command) + "\\fR"), std::string::npos) << command;
    }
    EXPECT_NE(manual.find("\\fB\\-\\-device\\fR"), std::string::npos);
    EXPECT_NE(manual.find("usage error: bad option"), std::string::npos) << "the exit codes of --help";

    writeText("zelo.bash", zelo("none", "--bash-completion").out);
    const std::string script = "cd '" + folder_.string() + "' && bash -c 'source ./zelo.bash; complete() { :; }; "
                               "compopt() { :; }; COMP_WORDS=(zelo set settings.st); COMP_CWORD=2; _zelo; "
                               "echo \"${COMPREPLY[*]}\"; COMP_WORDS=(zelo --device 1 ir \"\"); COMP_CWORD=4; _zelo; "
                               "echo \"${COMPREPLY[*]}\"' >completed.txt 2>&1";
    ASSERT_EQ(std::system(script.c_str()), 0) << readText("completed.txt");
    EXPECT_EQ(readText("completed.txt"), "settings.statusLed=\nwatch send -h --help\n");
}

}  // namespace
}  // namespace zelo::cli::test
