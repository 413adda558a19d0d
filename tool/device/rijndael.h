// Rijndael block cipher with 128-, 192- and 256-bit keys and blocks, used to
// decipher the images the program carries for the Bluetooth module. Misuse
// is rejected with std::runtime_error carrying a fixed English text.
#ifndef ZELO_DEVICE_RIJNDAEL_H
#define ZELO_DEVICE_RIJNDAEL_H

#include <array>
#include <cstddef>
#include <cstdint>

class CRijndael {
public:
    enum Mode { ECB = 0, CBC = 1, CFB = 2 };
    static constexpr int kMaxBlock = 32;

    CRijndael();
    virtual ~CRijndael();

    // Checks every argument before changing anything, so a rejected key
    // leaves the previous one in force. Copies blockLength bytes of chain
    // into the initial and current chain block (a null chain means zeros).
    void setKey(const std::uint8_t *key, const std::uint8_t *chain, int keyLength, int blockLength);

    void cipherBlock(const std::uint8_t *in, std::uint8_t *out);
    void decipherBlock(const std::uint8_t *in, std::uint8_t *out);

    // Mode CBC or CFB carries the chain block from call to call; any other
    // mode value is ECB. in and out may be the same buffer.
    void decipher(const std::uint8_t *in, std::uint8_t *out, std::size_t length, int mode);
    // ECB/CBC/CFB enciphering, the inverse of decipher; used by the build's image generator.
    void encipher(const std::uint8_t *in, std::uint8_t *out, std::size_t length, int mode);

    // Block length in bytes of the current key; 0 before the first setKey.
    int blockLength() const;

private:
    static constexpr int kMaxRounds = 14;
    static constexpr int kMaxBlockWords = kMaxBlock / 4;
    static constexpr int kMaxScheduleWords = (kMaxRounds + 1) * kMaxBlockWords;
    using Schedule = std::array<std::uint32_t, kMaxScheduleWords>;
    using Block = std::array<std::uint8_t, kMaxBlock>;

    void requireKey() const;
    void checkLength(std::size_t length) const;
    void chainedBlock(const std::uint8_t *in, std::uint8_t *out, int mode, bool enciphering);

    bool keySet_ = false;
    int keyLength_ = 0;
    int blockLength_ = 0;
    int rounds_ = 0;
    Schedule encryptKeys_{};
    Schedule decryptKeys_{};
    Block initialChain_{};
    Block chain_{};
};

#endif
