#include "progress_output.h"

#include <algorithm>

namespace zelo::cli {

namespace {
constexpr int kBarWidth = 30;
constexpr char kDone = '#';
constexpr char kToDo = '.';
}  // namespace

std::string progressBar(const std::string &label, int percent) {
    const int clamped = std::clamp(percent, device::kProgressStart, device::kProgressDone);
    const int filled = clamped * kBarWidth / device::kProgressDone;
    std::string bar = label + " [" + std::string(static_cast<std::size_t>(filled), kDone) +
                      std::string(static_cast<std::size_t>(kBarWidth - filled), kToDo) + "] ";
    const std::string number = std::to_string(clamped);
    bar += std::string(3 - std::min<std::size_t>(3, number.size()), ' ') + number + "%";
    return bar;
}

ProgressOutput::ProgressOutput(Context &context, std::string label) : context_(context), label_(std::move(label)) {}

ProgressOutput::~ProgressOutput() { finish(); }

void ProgressOutput::progress(int percent) {
    if (context_.options.quiet || percent == shown_) return;
    shown_ = percent;
    if (context_.progressOnTerminal) {
        context_.err << '\r' << progressBar(label_, percent);
        lineOpen_ = true;
    } else {
        context_.err << label_ << ": " << std::clamp(percent, device::kProgressStart, device::kProgressDone) << "%\n";
    }
    context_.err.flush();
}

void ProgressOutput::finish() {
    if (!lineOpen_) return;
    context_.err << '\n';
    context_.err.flush();
    lineOpen_ = false;
}

}  // namespace zelo::cli
