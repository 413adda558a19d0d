#include "rijndael.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes fromHex(const std::string &hex)
{
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

Bytes randomBytes(std::mt19937 &rng, std::size_t n)
{
    Bytes out(n);
    for (auto &b : out)
        b = static_cast<std::uint8_t>(rng());
    return out;
}

const Bytes kZeroChain(CRijndael::kMaxBlock, 0);

CRijndael keyed(const Bytes &key, int blockLength, const Bytes &chain = kZeroChain)
{
    CRijndael c;
    c.setKey(key.data(), chain.data(), static_cast<int>(key.size()), blockLength);
    return c;
}

Bytes run(CRijndael &c, const Bytes &in, int mode, bool enciphering)
{
    Bytes out(in.size());
    if (enciphering)
        c.encipher(in.data(), out.data(), in.size(), mode);
    else
        c.decipher(in.data(), out.data(), in.size(), mode);
    return out;
}

Bytes slice(const Bytes &b, std::size_t offset, std::size_t n)
{
    return Bytes(b.begin() + static_cast<std::ptrdiff_t>(offset), b.begin() + static_cast<std::ptrdiff_t>(offset + n));
}

// The exact text of the exception an action throws.
auto throwsText(const char *text)
{
    return ::testing::ThrowsMessage<std::runtime_error>(::testing::StrEq(text));
}

} // namespace

TEST(Rijndael, MatchesPublishedVectorsForEveryKeyAndBlockLength)
{
    // FIPS-197 appendices B and C, then the widely published extended
    // Rijndael vectors for 192- and 256-bit blocks (prefixes of the
    // appendix B key and plain text).
    const std::string fipsPlain = "00112233445566778899aabbccddeeff";
    const std::string counting = "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f";
    const std::string plain = "3243f6a8885a308d313198a2e03707344a4093822299f31d0082efa98ec4e6c8";
    const std::string key = "2b7e151628aed2a6abf7158809cf4f3c762e7160f38b4da56a784d9045190cfe";
    struct Vector {
        std::string key, plain, cipher;
    };
    const Vector vectors[] = {
        {key.substr(0, 32), plain.substr(0, 32), "3925841d02dc09fbdc118597196a0b32"},
        {counting.substr(0, 32), fipsPlain, "69c4e0d86a7b0430d8cdb78070b4c55a"},
        {counting.substr(0, 48), fipsPlain, "dda97ca4864cdfe06eaf70a0ec0d7191"},
        {counting, fipsPlain, "8ea2b7ca516745bfeafc49904b496089"},
        {key.substr(0, 32), plain.substr(0, 48), "b24d275489e82bb8f7375e0d5fcdb1f481757c538b65148a"},
        {key.substr(0, 48), plain.substr(0, 48), "725ae43b5f3161de806a7c93e0bca93c967ec1ae1b71e1cf"},
        {key, plain.substr(0, 48), "0ebacf199e3315c2e34b24fcc7c46ef4388aa475d66c194c"},
        {key.substr(0, 32), plain, "7d15479076b69a46ffb3b3beae97ad8313f622f67fedb487de9f06b9ed9c8f19"},
        {key.substr(0, 48), plain, "5d7101727bb25781bf6715b0e6955282b9610e23a43c2eb062699f0ebf5887b2"},
        {key, plain, "a49406115dfb30a40418aafa4869b7c6a886ff31602a7dd19c889dc64f7e4e7a"},
    };
    for (const auto &v : vectors) {
        SCOPED_TRACE(v.key + " " + v.plain);
        const Bytes in = fromHex(v.plain);
        const Bytes expected = fromHex(v.cipher);
        CRijndael c = keyed(fromHex(v.key), static_cast<int>(in.size()));
        Bytes out(in.size());
        c.cipherBlock(in.data(), out.data());
        EXPECT_EQ(out, expected);
        c.decipherBlock(expected.data(), out.data());
        EXPECT_EQ(out, in);
    }
}

TEST(Rijndael, RejectsMisuseWithFixedTextsAndKeepsEarlierKey)
{
    const Bytes key = fromHex("000102030405060708090a0b0c0d0e0f");
    Bytes buffer(64);
    CRijndael c;
    EXPECT_THAT([&] { c.cipherBlock(buffer.data(), buffer.data()); }, throwsText("Object not Initialized"));
    EXPECT_THAT([&] { c.decipherBlock(buffer.data(), buffer.data()); }, throwsText("Object not Initialized"));
    EXPECT_THAT([&] { c.decipher(buffer.data(), buffer.data(), 32, 0); }, throwsText("Object not Initialized"));
    EXPECT_THAT([&] { c.encipher(buffer.data(), buffer.data(), 32, 0); }, throwsText("Object not Initialized"));
    EXPECT_EQ(c.blockLength(), 0);

    c.setKey(key.data(), nullptr, 16, 16);
    const Bytes expected = fromHex("69c4e0d86a7b0430d8cdb78070b4c55a");
    EXPECT_THAT([&] { c.setKey(nullptr, kZeroChain.data(), 32, 32); }, throwsText("Empty key"));
    EXPECT_THAT([&] { c.setKey(buffer.data(), kZeroChain.data(), 20, 32); }, throwsText("Incorrect key length"));
    EXPECT_THAT([&] { c.setKey(buffer.data(), kZeroChain.data(), 32, 8); }, throwsText("Incorrect block length"));
    EXPECT_THAT([&] { c.decipher(buffer.data(), buffer.data(), 0, 0); }, throwsText("Data not multiple of Block Size"));
    EXPECT_THAT([&] { c.decipher(buffer.data(), buffer.data(), 33, 0); }, throwsText("Data not multiple of Block Size"));
    EXPECT_THAT([&] { c.encipher(buffer.data(), buffer.data(), 8, 1); }, throwsText("Data not multiple of Block Size"));

    // The rejected keys left the first one in force.
    EXPECT_EQ(c.blockLength(), 16);
    const Bytes plain = fromHex("00112233445566778899aabbccddeeff");
    Bytes out(16);
    c.cipherBlock(plain.data(), out.data());
    EXPECT_EQ(out, expected);
}

TEST(Rijndael, EcbDeciphersEveryBlockIndependently)
{
    // The loader text's size: 272 blocks of 32 bytes. Any mode value other
    // than CBC and CFB is ECB.
    constexpr std::size_t kLoaderBytes = 8704;
    std::mt19937 rng(2);
    const Bytes cipher = randomBytes(rng, kLoaderBytes);
    CRijndael c = keyed(randomBytes(rng, 32), 32);
    const Bytes plain = run(c, cipher, 7, false);
    Bytes block(32);
    for (std::size_t offset = 0; offset < kLoaderBytes; offset += 32) {
        c.decipherBlock(cipher.data() + offset, block.data());
        ASSERT_EQ(slice(plain, offset, 32), block) << "block " << offset / 32;
    }
    EXPECT_EQ(run(c, plain, CRijndael::ECB, true), cipher);
}

TEST(Rijndael, ChainingFollowsItsRulesAcrossCallsUntilSetKey)
{
    std::mt19937 rng(3);
    const Bytes key = randomBytes(rng, 24);
    const Bytes chain = randomBytes(rng, 32);
    const Bytes cipher = randomBytes(rng, 4 * 24);
    CRijndael ecb = keyed(key, 24);
    for (int mode : {CRijndael::CBC, CRijndael::CFB}) {
        SCOPED_TRACE(mode);
        // Expected: CBC = D(c_i) ^ chain, CFB = E(chain) ^ c_i; chain = c_i.
        Bytes expected(cipher.size());
        Bytes previous = slice(chain, 0, 24);
        for (std::size_t offset = 0; offset < cipher.size(); offset += 24) {
            Bytes block(24);
            if (mode == CRijndael::CBC)
                ecb.decipherBlock(cipher.data() + offset, block.data());
            else
                ecb.cipherBlock(previous.data(), block.data());
            for (std::size_t i = 0; i < 24; ++i)
                expected[offset + i] = block[i] ^ (mode == CRijndael::CBC ? previous[i] : cipher[offset + i]);
            previous = slice(cipher, offset, 24);
        }

        // Two calls, the second one in place, equal one call.
        CRijndael c = keyed(key, 24, chain);
        Bytes joined = run(c, slice(cipher, 0, 48), mode, false);
        Bytes rest = slice(cipher, 48, 48);
        c.decipher(rest.data(), rest.data(), rest.size(), mode);
        joined.insert(joined.end(), rest.begin(), rest.end());
        EXPECT_EQ(joined, expected);

        // encipher is the exact inverse.
        CRijndael e = keyed(key, 24, chain);
        EXPECT_EQ(run(e, expected, mode, true), cipher);

        // Only setKey brings the initial chain back.
        EXPECT_NE(run(c, slice(cipher, 0, 48), mode, false), slice(expected, 0, 48));
        c.setKey(key.data(), chain.data(), 24, 24);
        EXPECT_EQ(run(c, slice(cipher, 0, 48), mode, false), slice(expected, 0, 48));
    }
}
