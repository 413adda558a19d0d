#include "process_figures.h"

#include <chrono>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <system_error>
#include <thread>

#include "bench_process.h"

namespace zelo::soak {

namespace {

constexpr std::chrono::seconds kSettleDeadline{2};
constexpr std::chrono::milliseconds kSettlePoll{1};

// Entries of a /proc folder; the iterator's own descriptor is counted in
// every reading alike.
std::size_t entries(const char *folder) {
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    if (error) return 0;
    return static_cast<std::size_t>(std::distance(it, std::filesystem::directory_iterator{}));
}

}  // namespace

ProcessFigures processFigures() {
    ProcessFigures figures;
    figures.residentKiB = bench::residentKiB();
    figures.threads = entries("/proc/self/task");
    figures.descriptors = entries("/proc/self/fd");
    return figures;
}

ProcessFigures settledFigures(const ProcessFigures &reference) {
    const auto deadline = std::chrono::steady_clock::now() + kSettleDeadline;
    ProcessFigures figures = processFigures();
    while ((figures.threads > reference.threads || figures.descriptors > reference.descriptors) &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(kSettlePoll);
        figures = processFigures();
    }
    return figures;
}

std::vector<std::string> growth(const ProcessFigures &first, const ProcessFigures &last, bool judgeMemory,
                                double toleranceKiB) {
    std::vector<std::string> grown;
    if (last.threads > first.threads)
        grown.push_back("threads grew from " + std::to_string(first.threads) + " to " + std::to_string(last.threads));
    if (last.descriptors > first.descriptors)
        grown.push_back("open descriptors grew from " + std::to_string(first.descriptors) + " to " +
                        std::to_string(last.descriptors));
    if (judgeMemory) {
        if (!first.residentKiB || !last.residentKiB) {
            grown.push_back("resident memory cannot be read");
        } else if (*last.residentKiB - *first.residentKiB > toleranceKiB) {
            std::ostringstream text;
            text << "resident memory grew by " << (*last.residentKiB - *first.residentKiB) << " KiB (tolerance "
                 << toleranceKiB << " KiB)";
            grown.push_back(text.str());
        }
    }
    return grown;
}

std::string describe(const ProcessFigures &figures) {
    std::ostringstream text;
    text << "resident ";
    if (figures.residentKiB)
        text << *figures.residentKiB << " KiB";
    else
        text << "unknown";
    text << ", threads " << figures.threads << ", descriptors " << figures.descriptors;
    return text.str();
}

}  // namespace zelo::soak
