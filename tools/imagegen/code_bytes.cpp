#include "code_bytes.h"

#include <array>

namespace zelo::imagegen {

namespace {

enum class Operand : std::uint8_t { None, Byte, Address, ByteAndByte };

struct Instruction {
    std::uint8_t opcode;
    Operand operand;
};

// A small accumulator machine's instruction set: loads, stores, arithmetic,
// conditional branches, calls.
constexpr std::array<Instruction, 20> kInstructions{{
    {0x74, Operand::Byte},        {0xE5, Operand::Byte},    {0xF5, Operand::Byte},
    {0x90, Operand::Address},     {0xE0, Operand::None},    {0xF0, Operand::None},
    {0x12, Operand::Address},     {0x60, Operand::Byte},    {0x70, Operand::Byte},
    {0x80, Operand::Byte},        {0x04, Operand::None},    {0x14, Operand::None},
    {0xC3, Operand::None},        {0xD3, Operand::None},    {0x24, Operand::Byte},
    {0xB4, Operand::ByteAndByte}, {0x75, Operand::ByteAndByte}, {0xA3, Operand::None},
    {0x02, Operand::Address},     {0x54, Operand::Byte},
}};
constexpr std::uint8_t kReturn = 0x22;
constexpr std::size_t kLongestInstruction = 3;
constexpr std::uint32_t kRoutineLength = 24;  // average instructions per routine
constexpr unsigned kByteBits = 8;

std::size_t emit(std::span<std::uint8_t> out, std::size_t at, const Instruction &instruction,
                 AddressRange targets, ByteSource &source) {
    out[at++] = instruction.opcode;
    switch (instruction.operand) {
    case Operand::None:
        break;
    case Operand::Byte:
        out[at++] = source.byte();
        break;
    case Operand::ByteAndByte:
        out[at++] = source.byte();
        out[at++] = source.byte();
        break;
    case Operand::Address: {
        const auto span = static_cast<std::uint32_t>(targets.last - targets.first + 1);
        const auto target = static_cast<std::uint16_t>(targets.first + source.below(span));
        out[at++] = static_cast<std::uint8_t>(target >> kByteBits);
        out[at++] = static_cast<std::uint8_t>(target);
        break;
    }
    }
    return at;
}

}  // namespace

void fillCode(std::span<std::uint8_t> out, AddressRange targets, ByteSource &source) {
    std::size_t at = 0;
    while (out.size() - at > kLongestInstruction) {
        if (source.below(kRoutineLength) == 0) {
            out[at++] = kReturn;
            continue;
        }
        at = emit(out, at, kInstructions[source.below(static_cast<std::uint32_t>(kInstructions.size()))], targets,
                  source);
    }
    while (at < out.size()) out[at++] = kReturn;
}

}  // namespace zelo::imagegen
