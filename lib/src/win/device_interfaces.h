// Enumeration of the present HID device interfaces through SetupAPI.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "win_api.h"

namespace zelo::win {

// Fetches the detail record of one interface into storage; returns its
// device path, or null when the detail is unavailable. info, when given,
// receives the device the interface belongs to.
inline const char *interfaceDetailPath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA *data,
                                       std::vector<std::uint8_t> &storage, SP_DEVINFO_DATA *info) {
    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailA(set, data, nullptr, 0, &required, nullptr);
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) {
        return nullptr;
    }
    storage.assign(required, 0);
    auto *detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A *>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!SetupDiGetDeviceInterfaceDetailA(set, data, detail, required, nullptr, info)) {
        return nullptr;
    }
    return detail->DevicePath;
}

// One snapshot of the interface list per enumerating thread: a scan asks for
// index 0, 1, 2, ... and must see one consistent list even while another
// thread scans too. Index 0 takes a fresh snapshot; running past the end
// frees it. Scans that stop early keep theirs until the thread scans again
// or, beyond kMaxSnapshots threads, until the least recently used is dropped.
class InterfaceSnapshots {
public:
    explicit InterfaceSnapshots(const GUID &interfaceClass) : class_(interfaceClass) {}
    ~InterfaceSnapshots() {
        // Runs at library unload. A thread that process exit ended in the
        // middle of a scan still holds the lock and left SetupAPI midway;
        // the system reclaims the snapshots then.
        if (!mutex_.try_lock()) {
            return;
        }
        for (const Snapshot &snapshot : snapshots_) {
            SetupDiDestroyDeviceInfoList(snapshot.set);
        }
        mutex_.unlock();
    }
    InterfaceSnapshots(const InterfaceSnapshots &) = delete;
    InterfaceSnapshots &operator=(const InterfaceSnapshots &) = delete;

    // Calls use(set, data) for interface number index of the calling thread's
    // snapshot, under the lock. False when there is no such interface.
    template <class Use>
    bool withInterface(int index, Use use) {
        if (index < 0) {
            return false;
        }
        std::lock_guard lock(mutex_);
        Snapshot *snapshot = snapshotOfThisThread(index == 0);
        if (snapshot == nullptr) {
            return false;
        }
        SP_DEVICE_INTERFACE_DATA data{};
        data.cbSize = sizeof(data);
        if (!SetupDiEnumDeviceInterfaces(snapshot->set, nullptr, &class_, static_cast<DWORD>(index), &data)) {
            drop(snapshot);
            return false;
        }
        use(snapshot->set, &data);
        return true;
    }

private:
    static constexpr std::size_t kMaxSnapshots = 8;

    struct Snapshot {
        DWORD thread;
        HDEVINFO set;
        std::uint64_t lastUse;
    };

    Snapshot *snapshotOfThisThread(bool fresh) {
        const DWORD thread = GetCurrentThreadId();
        for (Snapshot &snapshot : snapshots_) {
            if (snapshot.thread != thread) {
                continue;
            }
            if (fresh) {
                drop(&snapshot);
                break;
            }
            snapshot.lastUse = ++uses_;
            return &snapshot;
        }
        HDEVINFO set = SetupDiGetClassDevsA(&class_, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        if (set == INVALID_HANDLE_VALUE) {
            return nullptr;
        }
        if (snapshots_.size() >= kMaxSnapshots) {
            drop(leastRecentlyUsed());
        }
        snapshots_.push_back(Snapshot{thread, set, ++uses_});
        return &snapshots_.back();
    }

    Snapshot *leastRecentlyUsed() {
        Snapshot *oldest = &snapshots_.front();
        for (Snapshot &snapshot : snapshots_) {
            if (snapshot.lastUse < oldest->lastUse) {
                oldest = &snapshot;
            }
        }
        return oldest;
    }

    void drop(Snapshot *snapshot) {
        SetupDiDestroyDeviceInfoList(snapshot->set);
        *snapshot = snapshots_.back();
        snapshots_.pop_back();
    }

    const GUID class_;
    std::mutex mutex_;
    std::vector<Snapshot> snapshots_;
    std::uint64_t uses_ = 0;
};

}  // namespace zelo::win
