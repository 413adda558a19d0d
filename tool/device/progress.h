#ifndef ZELO_DEVICE_PROGRESS_H
#define ZELO_DEVICE_PROGRESS_H

// Where long device sequences report how far they are, as a percentage from
// 0 to 100. The window layer turns the calls into progress-bar messages;
// tests record them.

#include <atomic>
#include <vector>

namespace zelo::device {

inline constexpr int kProgressStart = 0;
inline constexpr int kProgressDone = 100;

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void progress(int percent) = 0;
};

class NoProgress final : public ProgressSink {
public:
    void progress(int) override {}
};

// Keeps the latest percentage for a caller that polls it from another thread.
class PolledProgress final : public ProgressSink {
public:
    void progress(int percent) override { percent_.store(percent); }
    int value() const { return percent_.load(); }

private:
    std::atomic<int> percent_{kProgressStart};
};

// Remembers every report, in order.
class RecordingProgress final : public ProgressSink {
public:
    void progress(int percent) override { reports.push_back(percent); }
    std::vector<int> reports;
};

}  // namespace zelo::device

#endif
