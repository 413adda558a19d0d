#include "cli_process_support.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace zelo::cli::test {

void CliProcessTest::SetUp() {
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() /
              ("zelo-cli-" + std::string(info->name()) + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
}

void CliProcessTest::TearDown() {
    if (!HasFailure()) std::filesystem::remove_all(folder_);
}

std::string CliProcessTest::readText(const std::string &name) const {
    std::ifstream in(file(name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void CliProcessTest::writeText(const std::string &name, const std::string &text) const {
    std::ofstream(file(name), std::ios::binary | std::ios::trunc) << text;
}

Outcome CliProcessTest::zelo(const std::string &simulator, const std::string &arguments) {
    const std::string command = "cd '" + folder_.string() + "' && ZELO_STATE_DIR='" + (folder_ / "state").string() +
                                "' ZELO_SIMULATOR='" + simulator + "' '" +
                                ZELO_CLI_PROGRAM + "' " + arguments + " >stdout.txt 2>stderr.txt";
    const int status = std::system(command.c_str());
    Outcome run;
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readText("stdout.txt");
    run.err = readText("stderr.txt");
    return run;
}

std::vector<std::string> linesOf(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace zelo::cli::test
