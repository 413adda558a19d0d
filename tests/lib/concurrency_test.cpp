// Several threads using the library at once. Command exchanges on one
// device must keep each answer with its sender; raw dialogues run on a
// device of their own, as callers are told to keep them apart.
#include <atomic>
#include <thread>

#include "lib_fixture.h"
#include "module_image.h"

namespace zelo::test {
namespace {

constexpr int kRounds = 15;

class Concurrency : public LibraryTest {};

TEST_F(Concurrency, CommandsReadsAndReaderControlInParallel) {
    const auto shared = plug();
    const auto raw = plug();
    const auto cycled = plug();
    for (int i = 0; i < kModulePageCount; ++i) {
        std::array<std::uint8_t, sim::kPageSize> page{};
        std::copy_n(moduleImage().begin() + i * kFlashPageSize, kFlashPageSize, page.begin());
        shared->setPage(cFlashUpgrade::StartPage + i, page);
    }
    ZELO_HANDLE sharedHandle = open(0);
    ZELO_HANDLE rawHandle = open(0);
    ZELO_HANDLE cycledHandle = open(0);
    ASSERT_NE(nullptr, cycledHandle);

    std::atomic<int> failures{0};
    auto check = [&](bool ok) { failures += ok ? 0 : 1; };
    std::vector<std::thread> threads;

    threads.emplace_back([&] {  // CRC queries: 3 exchanges each
        cFlashUpgrade upgrade;
        for (int i = 0; i < kRounds; ++i) {
            check(upgrade.CheckFirmwareCRC(cFlashUpgrade::Designate(sharedHandle)) == 0);
        }
    });
    threads.emplace_back([&] {  // serial polls and LED commands on the same device
        for (int i = 0; i < kRounds; ++i) {
            check(ZELO_UART_BytesInFifo(sharedHandle) == 0);
            check(ZELO_SetLEDState(sharedHandle, i, i, i, 0, 0, 0) == ZELO_OK);
        }
    });
    threads.emplace_back([&] {  // the feature lock alone
        std::uint8_t status[ZELO_IR_STATUS_SIZE];
        for (int i = 0; i < kRounds; ++i) {
            check(ZELO_GetIRStatus(sharedHandle, status) == 1);
            check(ZELO_GetFirmwareVersion(sharedHandle) == 1190);
        }
    });
    threads.emplace_back([&] {  // a raw dialogue: loader version text
        for (int i = 0; i < kRounds; ++i) {
            const std::uint8_t request = 0x05;
            std::uint8_t answer[4] = {};
            std::uint32_t n = 0;
            check(ZELO_Write(rawHandle, &request, 1, &n) == ZELO_OK);
            check(ZELO_Read(rawHandle, answer, 4, &n) == ZELO_OK && answer[0] == '1');
        }
    });
    threads.emplace_back([&] {  // pausing and resuming a reader, counting
        for (int i = 0; i < kRounds; ++i) {
            check(ZELO_StopHID(cycledHandle) != 0);
            check(ZELO_StartHID(cycledHandle) == ZELO_OK);
            std::int32_t count = -1;
            ZELO_GetNumDevices(&count);
            check(count == 0);
        }
    });
    for (std::thread &thread : threads) {
        thread.join();
    }
    EXPECT_EQ(0, failures.load());
    EXPECT_EQ(0, ZELO_BytesInFifo(sharedHandle)) << "no answer was left behind";

    // Closing while the reader runs, from another thread than the opener.
    std::thread closer([&] { check(ZELO_CloseDevice(cycledHandle) == ZELO_OK); });
    closer.join();
    EXPECT_EQ(0, failures.load());
}

}  // namespace
}  // namespace zelo::test
