#include "FrameEncoder.h"

#include "BitPacker.h"
#include "modes/CRC_Calc.h"

namespace telvorn::board {

namespace {

std::uint32_t Word(const ModeSFrame& frame, std::size_t from)
{
    return std::uint32_t(frame.bytes[from]) << 24 | std::uint32_t(frame.bytes[from + 1]) << 16 |
           std::uint32_t(frame.bytes[from + 2]) << 8 | std::uint32_t(frame.bytes[from + 3]);
}

} // namespace

std::string ModeSFrame::hex() const
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(length * 2);
    for (std::size_t i = 0; i < length; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0xF];
    }
    return text;
}

void ModeSFrame::flipBit(std::size_t bit)
{
    bytes[bit / 8] = std::uint8_t(bytes[bit / 8] ^ (0x80u >> (bit % 8)));
}

ModeSFrame FrameEncoder::ExtendedSquitter(int df, int capability, std::uint32_t address, std::uint64_t me)
{
    BitPacker head;
    head.put(std::uint64_t(df), 5).put(std::uint64_t(capability), 3).put(address, 24);
    return Assemble(std::uint32_t(head.word()), true, me, 0);
}

ModeSFrame FrameEncoder::AllCallReply(int capability, std::uint32_t address)
{
    BitPacker head;
    head.put(11, 5).put(std::uint64_t(capability), 3).put(address, 24);
    return Assemble(std::uint32_t(head.word()), false, 0, 0);
}

ModeSFrame FrameEncoder::SurveillanceReply(int df, int flightStatus, std::uint32_t code13, std::uint32_t address,
                                           std::uint64_t commB)
{
    BitPacker head;
    // Downlink request and utility message fields left at zero.
    head.put(std::uint64_t(df), 5).put(std::uint64_t(flightStatus), 3).put(0, 5).put(0, 6).put(code13, 13);
    return Assemble(std::uint32_t(head.word()), df >= 16, commB, address);
}

ModeSFrame FrameEncoder::AirAirReply(int df, bool onGround, std::uint32_t altitudeCode13, std::uint32_t address,
                                     std::uint64_t acasPayload)
{
    BitPacker head;
    head.put(std::uint64_t(df), 5).put(onGround ? 1 : 0, 1);
    // DF 0 says it can cross-link (CC); both report sensitivity level 7 and
    // reply information 3 (ACAS with vertical resolution capability).
    head.put(df == 0 ? 1 : 0, 1).put(0, 1).put(7, 3).put(0, 2).put(3, 4).put(0, 2).put(altitudeCode13, 13);
    return Assemble(std::uint32_t(head.word()), df >= 16, acasPayload, address);
}

std::uint32_t FrameEncoder::DataParity(const ModeSFrame& frame)
{
    const CRC_Calc crc;
    std::uint32_t parity = 0;
    std::uint32_t syndrome = 0;
    const std::uint32_t word1 = Word(frame, 0);
    if (frame.length == 14) {
        const std::uint32_t word2 = Word(frame, 4);
        const std::uint32_t word3 = Word(frame, 8) & 0xFFFFFF00u;
        crc.CheckCRCl(word1, word2, word3, 0u, parity, syndrome);
    } else {
        crc.CheckCRCs(word1, 0u, parity, syndrome);
    }
    return parity;
}

ModeSFrame FrameEncoder::Assemble(std::uint32_t head, bool longFrame, std::uint64_t payload, std::uint32_t overlay)
{
    ModeSFrame frame;
    frame.length = longFrame ? 14 : 7;
    for (std::size_t i = 0; i < 4; ++i)
        frame.bytes[i] = std::uint8_t(head >> (24 - 8 * i));
    if (longFrame)
        for (std::size_t i = 0; i < 7; ++i)
            frame.bytes[4 + i] = std::uint8_t(payload >> (48 - 8 * i));
    const std::uint32_t parity = (DataParity(frame) ^ overlay) & 0xFFFFFFu;
    const std::size_t at = frame.length - 3;
    frame.bytes[at] = std::uint8_t(parity >> 16);
    frame.bytes[at + 1] = std::uint8_t(parity >> 8);
    frame.bytes[at + 2] = std::uint8_t(parity);
    return frame;
}

} // namespace telvorn::board
