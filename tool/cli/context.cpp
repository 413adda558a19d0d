#include "context.h"

#include "exit_codes.h"

namespace zelo::cli {

int refuse(Context &context, int code, std::string_view reason) {
    context.err << kRefusalPrefix << reason << '\n';
    context.err.flush();
    return code;
}

void confirm(Context &context, std::string_view text) {
    if (context.options.quiet) return;
    // With --json, stdout carries the JSON alone.
    (context.options.json ? context.err : context.out) << text << '\n';
}

int interrupted(Context &context, std::string_view whatWasDone) {
    return refuse(context, kExitInterrupted, "interrupted; " + std::string(whatWasDone));
}

}  // namespace zelo::cli
