// Runs the built zelo program as its own process with a simulated
// accessory, as a user's shell would, and collects what it printed.
#pragma once

#include <filesystem>
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

    // ZELO_SIMULATOR=simulator zelo arguments, in the test's folder.
    Outcome zelo(const std::string &simulator, const std::string &arguments);
    std::filesystem::path file(const std::string &name) const { return folder_ / name; }
    std::string readText(const std::string &name) const;
    void writeText(const std::string &name, const std::string &text) const;

    std::filesystem::path folder_;
};

std::vector<std::string> linesOf(const std::string &text);

}  // namespace zelo::cli::test
