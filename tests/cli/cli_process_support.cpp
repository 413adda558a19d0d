#include "cli_process_support.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

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

Outcome CliProcessTest::zelo(const std::string &simulator, const std::string &arguments, const std::string &output) {
    writeText("stdout.txt", "");
    const std::string command = "cd '" + folder_.string() + "' && ZELO_STATE_DIR='" + (folder_ / "state").string() +
                                "' ZELO_SIMULATOR='" + simulator + "' '" +
                                ZELO_CLI_PROGRAM + "' " + arguments + " >" + output + " 2>stderr.txt";
    const int status = std::system(command.c_str());
    Outcome run;
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readText("stdout.txt");
    run.err = readText("stderr.txt");
    return run;
}

RunningZelo::RunningZelo(const std::filesystem::path &folder, const std::string &simulator,
                         const std::vector<std::string> &arguments) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    std::vector<std::string> words{ZELO_CLI_PROGRAM};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char *> argv;
    for (std::string &word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const std::string state = (folder / "state").string();
    pid_ = ::fork();
    if (pid_ == 0) {
        for (const int number : {SIGPIPE, SIGHUP, SIGTERM, SIGINT}) std::signal(number, SIG_DFL);
        ::dup2(fds[1], STDOUT_FILENO);
        ::dup2(fds[1], STDERR_FILENO);
        if (::chdir(folder.c_str()) != 0) ::_exit(127);
        ::setenv("ZELO_STATE_DIR", state.c_str(), 1);
        ::setenv("ZELO_SIMULATOR", simulator.c_str(), 1);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    output_ = fds[0];
}

RunningZelo::~RunningZelo() {
    closeOutput();
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

std::optional<std::string> RunningZelo::readLine(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (true) {
        if (const std::size_t end = buffered_.find('\n'); end != std::string::npos) {
            std::string line = buffered_.substr(0, end);
            buffered_.erase(0, end + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (output_ < 0 || left.count() <= 0) return std::nullopt;
        pollfd wanted{output_, POLLIN, 0};
        if (::poll(&wanted, 1, static_cast<int>(left.count())) <= 0) continue;
        char chunk[256];
        const ssize_t got = ::read(output_, chunk, sizeof chunk);
        if (got <= 0) {
            ended_ = true;
            return std::nullopt;
        }
        buffered_.append(chunk, static_cast<std::size_t>(got));
    }
}

std::string RunningZelo::readRest(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    const auto left = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    };
    std::string rest;
    while (const std::optional<std::string> line = readLine(left())) rest += *line + "\n";
    return rest + buffered_;
}

void RunningZelo::closeOutput() {
    if (output_ >= 0) ::close(output_);
    output_ = -1;
}

void RunningZelo::signal(int number) {
    if (pid_ > 0) ::kill(pid_, number);
}

int RunningZelo::wait(std::chrono::milliseconds limit) {
    if (pid_ <= 0) return -1;
    // The output's end tells when the program ended; a program that goes
    // on past the limit is a fault the test reports, not a hang.
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (readLine(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()))) {
    }
    // Output closed: the program has ended or is ending. Otherwise (its
    // output given up by the test) the limit decides.
    const bool overdue = !ended_ && output_ >= 0;
    if (overdue) ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    if (overdue) return -1;
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> linesOf(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace zelo::cli::test
