// Progress of long work on the error stream: a bar redrawn in place on a
// terminal, plain "label: N%" lines otherwise (for logs and pipes), nothing
// with --quiet.
#ifndef ZELO_CLI_PROGRESS_OUTPUT_H
#define ZELO_CLI_PROGRESS_OUTPUT_H

#include <string>

#include "context.h"
#include "progress.h"

namespace zelo::cli {

class ProgressOutput final : public device::ProgressSink {
public:
    ProgressOutput(Context &context, std::string label);
    ~ProgressOutput() override;
    ProgressOutput(const ProgressOutput &) = delete;
    ProgressOutput &operator=(const ProgressOutput &) = delete;

    void progress(int percent) override;
    // Ends the bar's line; also done by the destructor.
    void finish();

private:
    Context &context_;
    std::string label_;
    int shown_ = -1;
    bool lineOpen_ = false;
};

// The line a terminal shows for percent, without the carriage return.
std::string progressBar(const std::string &label, int percent);

}  // namespace zelo::cli

#endif
