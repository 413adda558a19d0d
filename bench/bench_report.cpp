#include "bench_report.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace zelo::bench {

namespace {

// Short operations get one more decimal.
constexpr double kFineBelowMs = 10.0;

bool judgedByValue(Unit unit) { return unit == Unit::PercentOfCore || unit == Unit::KibiBytes; }

const char *unitName(Unit unit) {
    switch (unit) {
    case Unit::Milliseconds: return "ms";
    case Unit::PerSecond: return "/s";
    case Unit::BytesPerSecond: return "B/s";
    case Unit::PercentOfCore: return "% of a core";
    case Unit::KibiBytes: return "KiB";
    }
    return "";
}

std::string valueText(std::optional<double> value, Unit unit) {
    if (!value) return "-";
    char text[64];
    switch (unit) {
    case Unit::Milliseconds: std::snprintf(text, sizeof text, *value < kFineBelowMs ? "%.2f ms" : "%.1f ms", *value); break;
    case Unit::PerSecond: std::snprintf(text, sizeof text, "%.0f /s", *value); break;
    case Unit::BytesPerSecond: std::snprintf(text, sizeof text, "%.0f B/s", *value); break;
    case Unit::PercentOfCore: std::snprintf(text, sizeof text, "%.3f %%", *value); break;
    case Unit::KibiBytes: std::snprintf(text, sizeof text, "%+.0f KiB", *value); break;
    }
    return text;
}

std::string goalText(const Result &result) {
    if (!result.goal) return "";
    char text[64];
    if (result.unit == Unit::KibiBytes) {
        std::snprintf(text, sizeof text, "<= %.0f KiB", *result.goal);
    } else if (judgedByValue(result.unit)) {
        std::snprintf(text, sizeof text, "<= %s", valueText(result.goal, result.unit).c_str());
    } else {
        std::snprintf(text, sizeof text, "<= %.2f", *result.goal);
    }
    return std::string(text) + (goalMet(result) ? "  ok" : "  MISSED");
}

void printRow(const Result &result) {
    const std::string ratio = result.ratio ? [&] {
        char text[16];
        std::snprintf(text, sizeof text, "%.2f", *result.ratio);
        return std::string(text);
    }() : std::string(result.measured ? "-" : "failed");
    std::printf("  %-40s %14s %14s %7s  %s\n", result.operation.c_str(), valueText(result.measured, result.unit).c_str(),
                valueText(result.floor, result.unit).c_str(), ratio.c_str(), goalText(result).c_str());
}

std::string jsonNumber(std::optional<double> value) {
    if (!value) return "null";
    std::ostringstream text;
    text.precision(6);
    text << *value;
    return text.str();
}

std::string jsonString(const std::string &text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

void writeResult(std::ostream &out, const Result &result) {
    out << "        {\"operation\": " << jsonString(result.operation) << ", \"unit\": " << jsonString(unitName(result.unit))
        << ", \"measured\": " << jsonNumber(result.measured) << ", \"floor\": " << jsonNumber(result.floor)
        << ", \"ratio\": " << jsonNumber(result.ratio) << ", \"reports\": " << result.reports
        << ", \"fixed_waits_ms\": " << result.fixedWaitsMs << ", \"goal\": " << jsonNumber(result.goal)
        << ", \"goal_met\": " << (result.goal ? (goalMet(result) ? "true" : "false") : "null") << "}";
}

}  // namespace

bool goalMet(const Result &result) {
    if (!result.goal) return true;
    if (judgedByValue(result.unit)) return result.measured && *result.measured <= *result.goal;
    return result.ratio && *result.ratio <= *result.goal;
}

void printTable(const std::vector<Series> &series) {
    for (const Series &one : series) {
        std::printf("report delay %lld ms:\n", one.reportDelayMs);
        std::printf("  %-40s %14s %14s %7s  %s\n", "operation", "measured", "floor", "ratio", "goal");
        for (const Result &result : one.results) printRow(result);
    }
}

bool writeJson(const std::string &path, const std::vector<Series> &series, const LoadAverages &load,
               bool preciseTimers) {
    std::ofstream out(path);
    if (!out) return false;
    out << "{\n  \"precise_timers\": " << (preciseTimers ? "true" : "false") << ",\n  \"load_average\": ";
    if (load) {
        out << "[" << (*load)[0] << ", " << (*load)[1] << ", " << (*load)[2] << "]";
    } else {
        out << "null";
    }
    out << ",\n  \"series\": [\n";
    for (std::size_t s = 0; s < series.size(); ++s) {
        out << "    {\"report_delay_ms\": " << series[s].reportDelayMs << ", \"results\": [\n";
        for (std::size_t r = 0; r < series[s].results.size(); ++r) {
            writeResult(out, series[s].results[r]);
            out << (r + 1 < series[s].results.size() ? ",\n" : "\n");
        }
        out << "    ]}" << (s + 1 < series.size() ? ",\n" : "\n");
    }
    out << "  ]\n}\n";
    return static_cast<bool>(out);
}

}  // namespace zelo::bench
