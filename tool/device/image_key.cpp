// The key of the Bluetooth module's images. The program and the image
// generator both take it from here, so the stored images always open.
#include "images.h"
#include "rijndael.h"

namespace zelo::device {

namespace {

// Stored form of the key; the real key is derived at run time.
constexpr std::array<std::uint8_t, kImageKeySize> kImageKeyConstant{
    0xBE, 0x82, 0x63, 0x50, 0xDB, 0x22, 0x11, 0xCF, 0x1B, 0xEA, 0x83, 0xAB, 0xEC, 0xC1, 0xEC, 0x57,
    0x9B, 0xC8, 0xB6, 0xD8, 0x42, 0x05, 0x5C, 0xFC, 0x5A, 0x4B, 0x87, 0x5C, 0x9E, 0xBA, 0x75, 0x8A};
constexpr std::uint8_t kImageKeyReplacementByte = 0xA7;

}  // namespace

const std::array<std::uint8_t, kImageKeySize> &imageKeyConstant() { return kImageKeyConstant; }

std::uint8_t imageKeyReplacementByte() { return kImageKeyReplacementByte; }

std::array<std::uint8_t, kImageKeySize> imageKey() {
    std::array<std::uint8_t, kImageKeySize> key = kImageKeyConstant;
    --key[kImageKeyDecrementIndex];
    key[kImageKeyReplaceIndex] = kImageKeyReplacementByte;
    return key;
}

namespace {

// Clears the key copy on every way out; volatile so the stores stay.
struct KeyWiper {
    std::array<std::uint8_t, kImageKeySize> &key;
    ~KeyWiper() {
        volatile std::uint8_t *bytes = key.data();
        for (std::size_t i = 0; i < key.size(); ++i) bytes[i] = 0;
    }
};

}  // namespace

void keyImageCipher(CRijndael &cipher) {
    std::array<std::uint8_t, kImageKeySize> key = imageKey();
    const KeyWiper wiper{key};
    const std::array<std::uint8_t, kImageCipherBlockSize> chain{};
    cipher.setKey(key.data(), chain.data(), static_cast<int>(key.size()), static_cast<int>(chain.size()));
}

}  // namespace zelo::device
