#include "rijndael.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr int kBytesPerWord = 4;
constexpr int kByteBits = 8;
constexpr int kTableSize = 256;
constexpr int kMultiplicativeOrder = 255; // non-zero field elements
constexpr std::uint8_t kReduction = 0x1B; // x^8 = x^4 + x^3 + x + 1
constexpr std::uint8_t kHighBit = 0x80;
constexpr std::uint8_t kGenerator = 0x03; // generates the multiplicative group
constexpr std::uint8_t kAffineConstant = 0x63;
constexpr int kAffineRotations = 4;
constexpr std::uint8_t kFirstRoundConstant = 0x01;
// A 256-bit key gets an extra substitution halfway through each key period.
constexpr int kLongKeyWords = 6;
constexpr int kLongKeySubstitution = 4;

// MixColumns and its inverse, as the coefficients of one column output.
constexpr std::array<std::uint8_t, kBytesPerWord> kMixColumn{0x02, 0x01, 0x01, 0x03};
constexpr std::array<std::uint8_t, kBytesPerWord> kInverseMixColumn{0x0E, 0x09, 0x0D, 0x0B};

constexpr std::uint8_t xtime(std::uint8_t a)
{
    return static_cast<std::uint8_t>((a << 1) ^ ((a & kHighBit) ? kReduction : 0));
}

constexpr std::uint8_t multiply(std::uint8_t a, std::uint8_t b)
{
    std::uint8_t product = 0;
    for (; b != 0; b = static_cast<std::uint8_t>(b >> 1), a = xtime(a))
        if (b & 1)
            product ^= a;
    return product;
}

constexpr std::uint8_t rotateByteLeft(std::uint8_t v, int n)
{
    return static_cast<std::uint8_t>((v << n) | (v >> (kByteBits - n)));
}

constexpr std::uint32_t rotateWordRight(std::uint32_t v, int bytes)
{
    const int bits = bytes * kByteBits;
    return bits == 0 ? v : (v >> bits) | (v << (kBytesPerWord * kByteBits - bits));
}

constexpr std::uint8_t byteOf(std::uint32_t word, int index)
{
    return static_cast<std::uint8_t>(word >> ((kBytesPerWord - 1 - index) * kByteBits));
}

constexpr std::uint32_t packColumn(std::uint8_t value, const std::array<std::uint8_t, kBytesPerWord> &coefficients)
{
    std::uint32_t word = 0;
    for (std::uint8_t c : coefficients)
        word = (word << kByteBits) | multiply(c, value);
    return word;
}

using ByteTable = std::array<std::uint8_t, kTableSize>;
using WordTable = std::array<std::uint32_t, kTableSize>;

// S-boxes and the round tables that merge SubBytes (or its inverse) with
// MixColumns (or its inverse), one table per row rotation.
struct Tables {
    ByteTable sbox{};
    ByteTable inverseSbox{};
    std::array<WordTable, kBytesPerWord> encrypt{};
    std::array<WordTable, kBytesPerWord> decrypt{};
};

constexpr Tables makeTables()
{
    Tables t;
    ByteTable power{};
    ByteTable logarithm{};
    std::uint8_t x = 1;
    for (int i = 0; i < kMultiplicativeOrder; ++i) {
        power[i] = x;
        logarithm[x] = static_cast<std::uint8_t>(i);
        x = multiply(x, kGenerator);
    }
    for (int v = 0; v < kTableSize; ++v) {
        const std::uint8_t inverse =
            v == 0 ? 0 : power[(kMultiplicativeOrder - logarithm[v]) % kMultiplicativeOrder];
        std::uint8_t s = inverse ^ kAffineConstant;
        for (int r = 1; r <= kAffineRotations; ++r)
            s ^= rotateByteLeft(inverse, r);
        t.sbox[v] = s;
        t.inverseSbox[s] = static_cast<std::uint8_t>(v);
    }
    for (int v = 0; v < kTableSize; ++v) {
        const std::uint32_t e = packColumn(t.sbox[v], kMixColumn);
        const std::uint32_t d = packColumn(t.inverseSbox[v], kInverseMixColumn);
        for (int row = 0; row < kBytesPerWord; ++row) {
            t.encrypt[row][v] = rotateWordRight(e, row);
            t.decrypt[row][v] = rotateWordRight(d, row);
        }
    }
    return t;
}

constexpr Tables kTables = makeTables();

constexpr int kBlockSizeCount = 3;
constexpr std::array<int, kBlockSizeCount> kValidLengths{16, 24, 32};
constexpr int kRoundsOverWords = 6;

// Left rotation of each state row, by block length in words (4, 6, 8).
constexpr std::array<int, kBytesPerWord> shiftsFor(int blockWords)
{
    constexpr int kLongBlockWords = 8;
    if (blockWords == kLongBlockWords)
        return {0, 1, 3, 4};
    return {0, 1, 2, 3};
}

bool isValidLength(int length)
{
    return std::find(kValidLengths.begin(), kValidLengths.end(), length) != kValidLengths.end();
}

std::uint32_t loadWord(const std::uint8_t *p)
{
    std::uint32_t word = 0;
    for (int i = 0; i < kBytesPerWord; ++i)
        word = (word << kByteBits) | p[i];
    return word;
}

void storeWord(std::uint32_t word, std::uint8_t *p)
{
    for (int i = 0; i < kBytesPerWord; ++i)
        p[i] = byteOf(word, i);
}

std::uint32_t substituteWord(std::uint32_t word)
{
    std::uint32_t result = 0;
    for (int i = 0; i < kBytesPerWord; ++i)
        result = (result << kByteBits) | kTables.sbox[byteOf(word, i)];
    return result;
}

std::uint32_t inverseMixWord(std::uint32_t word)
{
    // The decrypt tables start with the inverse S-box; undo it first.
    std::uint32_t result = 0;
    for (int row = 0; row < kBytesPerWord; ++row)
        result ^= kTables.decrypt[row][kTables.sbox[byteOf(word, row)]];
    return result;
}

struct Geometry {
    int blockWords;
    int rounds;
};

// in and out may overlap: the whole input is read before anything is written.
void runBlock(const std::uint32_t *roundKeys, Geometry g, bool forward,
              const std::uint8_t *in, std::uint8_t *out)
{
    const std::array<int, kBytesPerWord> shifts = shiftsFor(g.blockWords);
    const auto &tables = forward ? kTables.encrypt : kTables.decrypt;
    const ByteTable &lastBox = forward ? kTables.sbox : kTables.inverseSbox;
    const int n = g.blockWords;
    // Decrypting rotates rows right: the source column lies to the left.
    auto source = [&](int column, int row) {
        const int shift = forward ? shifts[row] : n - shifts[row];
        return (column + shift) % n;
    };

    std::array<std::uint32_t, CRijndael::kMaxBlock / kBytesPerWord> state{}, next{};
    for (int c = 0; c < n; ++c)
        state[c] = loadWord(in + c * kBytesPerWord) ^ roundKeys[c];
    for (int round = 1; round < g.rounds; ++round) {
        const std::uint32_t *key = roundKeys + round * n;
        for (int c = 0; c < n; ++c) {
            std::uint32_t word = key[c];
            for (int row = 0; row < kBytesPerWord; ++row)
                word ^= tables[row][byteOf(state[source(c, row)], row)];
            next[c] = word;
        }
        state = next;
    }
    const std::uint32_t *key = roundKeys + g.rounds * n;
    for (int c = 0; c < n; ++c) {
        std::uint32_t word = 0;
        for (int row = 0; row < kBytesPerWord; ++row)
            word = (word << kByteBits) | lastBox[byteOf(state[source(c, row)], row)];
        next[c] = word ^ key[c];
    }
    for (int c = 0; c < n; ++c)
        storeWord(next[c], out + c * kBytesPerWord);
}

void expandKey(const std::uint8_t *key, int keyWords, int totalWords, std::uint32_t *schedule)
{
    for (int i = 0; i < keyWords; ++i)
        schedule[i] = loadWord(key + i * kBytesPerWord);
    std::uint8_t roundConstant = kFirstRoundConstant;
    for (int i = keyWords; i < totalWords; ++i) {
        std::uint32_t temp = schedule[i - 1];
        if (i % keyWords == 0) {
            temp = substituteWord(rotateWordRight(temp, kBytesPerWord - 1))
                   ^ (std::uint32_t{roundConstant} << ((kBytesPerWord - 1) * kByteBits));
            roundConstant = xtime(roundConstant);
        } else if (keyWords > kLongKeyWords && i % keyWords == kLongKeySubstitution) {
            temp = substituteWord(temp);
        }
        schedule[i] = schedule[i - keyWords] ^ temp;
    }
}

// Equivalent inverse cipher: round keys in reverse order, the inner ones
// passed through InvMixColumns.
void invertSchedule(const std::uint32_t *forward, Geometry g, std::uint32_t *inverse)
{
    for (int round = 0; round <= g.rounds; ++round) {
        const bool inner = round != 0 && round != g.rounds;
        for (int c = 0; c < g.blockWords; ++c) {
            const std::uint32_t word = forward[(g.rounds - round) * g.blockWords + c];
            inverse[round * g.blockWords + c] = inner ? inverseMixWord(word) : word;
        }
    }
}

void xorInto(std::uint8_t *target, const std::uint8_t *other, int length)
{
    for (int i = 0; i < length; ++i)
        target[i] ^= other[i];
}

} // namespace

CRijndael::CRijndael() = default;

CRijndael::~CRijndael() = default;

void CRijndael::setKey(const std::uint8_t *key, const std::uint8_t *chain, int keyLength, int blockLength)
{
    if (key == nullptr)
        throw std::runtime_error("Empty key");
    if (!isValidLength(keyLength))
        throw std::runtime_error("Incorrect key length");
    if (!isValidLength(blockLength))
        throw std::runtime_error("Incorrect block length");

    const int keyWords = keyLength / kBytesPerWord;
    const int blockWords = blockLength / kBytesPerWord;
    const int rounds = std::max(keyWords, blockWords) + kRoundsOverWords;
    Schedule forward{};
    Schedule inverse{};
    expandKey(key, keyWords, blockWords * (rounds + 1), forward.data());
    invertSchedule(forward.data(), {blockWords, rounds}, inverse.data());

    Block chainBlock{};
    if (chain != nullptr)
        std::copy(chain, chain + blockLength, chainBlock.begin());

    keyLength_ = keyLength;
    blockLength_ = blockLength;
    rounds_ = rounds;
    encryptKeys_ = forward;
    decryptKeys_ = inverse;
    initialChain_ = chainBlock;
    chain_ = chainBlock;
    keySet_ = true;
}

void CRijndael::requireKey() const
{
    if (!keySet_)
        throw std::runtime_error("Object not Initialized");
}

void CRijndael::checkLength(std::size_t length) const
{
    const auto block = static_cast<std::size_t>(blockLength_);
    if (length == 0 || length % block != 0)
        throw std::runtime_error("Data not multiple of Block Size");
}

void CRijndael::cipherBlock(const std::uint8_t *in, std::uint8_t *out)
{
    requireKey();
    runBlock(encryptKeys_.data(), {blockLength_ / kBytesPerWord, rounds_}, true, in, out);
}

void CRijndael::decipherBlock(const std::uint8_t *in, std::uint8_t *out)
{
    requireKey();
    runBlock(decryptKeys_.data(), {blockLength_ / kBytesPerWord, rounds_}, false, in, out);
}

void CRijndael::chainedBlock(const std::uint8_t *in, std::uint8_t *out, int mode, bool enciphering)
{
    // Work on a copy so that in == out is safe for every mode.
    Block input{};
    Block result{};
    std::copy(in, in + blockLength_, input.begin());
    switch (mode) {
    case CBC:
        if (enciphering) {
            xorInto(input.data(), chain_.data(), blockLength_);
            cipherBlock(input.data(), result.data());
            chain_ = result;
        } else {
            decipherBlock(input.data(), result.data());
            xorInto(result.data(), chain_.data(), blockLength_);
            chain_ = input;
        }
        break;
    case CFB:
        cipherBlock(chain_.data(), result.data());
        xorInto(result.data(), input.data(), blockLength_);
        chain_ = enciphering ? result : input;
        break;
    default:
        if (enciphering)
            cipherBlock(input.data(), result.data());
        else
            decipherBlock(input.data(), result.data());
        break;
    }
    std::copy(result.begin(), result.begin() + blockLength_, out);
}

void CRijndael::decipher(const std::uint8_t *in, std::uint8_t *out, std::size_t length, int mode)
{
    requireKey();
    checkLength(length);
    const auto block = static_cast<std::size_t>(blockLength_);
    for (std::size_t offset = 0; offset < length; offset += block)
        chainedBlock(in + offset, out + offset, mode, false);
}

void CRijndael::encipher(const std::uint8_t *in, std::uint8_t *out, std::size_t length, int mode)
{
    requireKey();
    checkLength(length);
    const auto block = static_cast<std::size_t>(blockLength_);
    for (std::size_t offset = 0; offset < length; offset += block)
        chainedBlock(in + offset, out + offset, mode, true);
}

int CRijndael::blockLength() const
{
    return keySet_ ? blockLength_ : 0;
}
