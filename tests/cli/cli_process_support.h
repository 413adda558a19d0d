// Runs the built zelo program as its own process with a simulated
// accessory, as a user's shell would, and collects what it printed.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace zelo::cli::test {

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

// Every test gets a folder of its own for state and settings files.
class CliProcessTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // ZELO_SIMULATOR=simulator zelo arguments, in the test's folder; stdout
    // goes to output (collected when it is a file of the folder).
    Outcome zelo(const std::string &simulator, const std::string &arguments, const std::string &output = "stdout.txt");
    std::filesystem::path file(const std::string &name) const { return folder_ / name; }
    std::string readText(const std::string &name) const;
    void writeText(const std::string &name, const std::string &text) const;

    std::filesystem::path folder_;
};

std::vector<std::string> linesOf(const std::string &text);

// zelo running in the background with stdout and stderr into one pipe the
// test reads, closes or leaves, and signals it as a terminal or a shell
// would. The child starts with every signal at its default, as from a
// terminal.
class RunningZelo {
public:
    RunningZelo(const std::filesystem::path &folder, const std::string &simulator, const std::vector<std::string> &arguments);
    ~RunningZelo();
    RunningZelo(const RunningZelo &) = delete;
    RunningZelo &operator=(const RunningZelo &) = delete;

    // The next line of output, or nullopt at its end or after the limit.
    std::optional<std::string> readLine(std::chrono::milliseconds limit = std::chrono::seconds(60));
    // Reads the rest of the output, until the program closes it or the limit.
    std::string readRest(std::chrono::milliseconds limit = std::chrono::seconds(60));
    // The reading end goes away, as `| head -1` exits.
    void closeOutput();
    void signal(int number);
    int pid() const { return pid_; }
    // The exit code as a shell gives it: 128 + the signal when one ended it;
    // -1 when it had not ended within the limit (it is killed then).
    int wait(std::chrono::milliseconds limit = std::chrono::seconds(60));

private:
    int pid_ = -1;
    int output_ = -1;
    std::string buffered_;
    bool ended_ = false;  // the program closed its output
};

}  // namespace zelo::cli::test
