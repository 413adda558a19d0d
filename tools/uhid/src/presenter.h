// The simulated accessories of a ZELO_SIMULATOR description, each kept
// presented through /dev/uhid while the simulator has it plugged in: an
// unplug (by command or by a simulator fault) destroys its device, a plug
// creates a new one. Accessories keep their memory while unplugged.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "control_command.h"
#include "uhid_device.h"
#include "zelo_notify.h"
#include "zelo_sim/sim.h"

namespace zelo::uhid {

class Presenter {
public:
    // wake is called (on any thread) when events wait for handleEvents().
    struct Options {
        std::string stateDir;  // state files of accessories that name none
        std::chrono::microseconds interval;
        int collections = 1;
    };
    Presenter(sim::World &world, Options options, std::function<void()> wake);
    ~Presenter();

    bool configure(const std::string &description, std::string *error);
    // Presents arrivals and removes what went, on the caller's thread.
    void handleEvents();
    // The control channel's reply: "ok ..." or "error: ...".
    std::string run(const ControlCommand &command);
    void stopAll();

private:
    struct Slot {
        sim::AccessoryConfig config;
        std::shared_ptr<sim::Accessory> accessory;  // null while unplugged
        std::unique_ptr<UhidDevice> device;
    };
    static void notified(void *context, std::int32_t arrived, const char *path);
    void present(Slot &slot, int number);
    std::string dump() const;
    static std::string log(const sim::Accessory &accessory);
    Slot *slotOf(const std::string &path);

    sim::World &world_;
    const Options options_;
    std::function<void()> wake_;
    ZELO_NOTIFY_TARGET target_{};
    std::mutex eventsMutex_;
    std::vector<std::pair<bool, std::string>> events_;
    std::vector<Slot> slots_;
};

}  // namespace zelo::uhid
