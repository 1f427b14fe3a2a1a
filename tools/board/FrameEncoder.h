#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace telvorn::board {

// One Mode S reply as transmitted: 7 bytes (56 bits) or 14 bytes (112 bits).
struct ModeSFrame {
    std::array<std::uint8_t, 14> bytes{};
    std::size_t length = 0;

    int downlinkFormat() const { return bytes[0] >> 3; }
    // Upper-case hexadecimal, two digits per byte, as receivers print frames.
    std::string hex() const;
    void flipBit(std::size_t bit);
};

// Builds complete replies with their parity. Extended squitters (DF 17, 18,
// 19) and all-call replies (DF 11) carry the plain parity; surveillance and
// ACAS replies (DF 0, 4, 5, 16, 20, 21) carry it overlaid with the address,
// as transponders send them, so only a receiver that knows the address can
// check them.
class FrameEncoder {
public:
    // DF 17 (capability), 18 (control field) or 19 (application field).
    static ModeSFrame ExtendedSquitter(int df, int capability, std::uint32_t address, std::uint64_t me);
    static ModeSFrame AllCallReply(int capability, std::uint32_t address);
    // DF 4 and 20 carry the 13-bit altitude code, DF 5 and 21 the identity
    // code; the 56-bit Comm-B payload goes only into DF 20 and 21.
    static ModeSFrame SurveillanceReply(int df, int flightStatus, std::uint32_t code13, std::uint32_t address,
                                        std::uint64_t commB = 0);
    // DF 0 (short) and DF 16 (long, with the 56-bit ACAS payload).
    static ModeSFrame AirAirReply(int df, bool onGround, std::uint32_t altitudeCode13, std::uint32_t address,
                                  std::uint64_t acasPayload = 0);

    // The 24-bit parity of the frame's data bits (all but the last 24).
    static std::uint32_t DataParity(const ModeSFrame& frame);

private:
    static ModeSFrame Assemble(std::uint32_t head, bool longFrame, std::uint64_t payload,
                               std::uint32_t overlay);
};

} // namespace telvorn::board
