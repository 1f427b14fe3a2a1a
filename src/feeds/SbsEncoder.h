#pragma once

#include <string>

#include "feeds/AlertBook.h"
#include "feeds/LocalTime.h"
#include "table/ApplyRecord.h"
#include "table/MainState.h"

namespace telvorn {

// BaseStation ("SBS-1", port 30003) lines of one record written into the
// table. Each line has 22 comma-separated fields and ends in CR LF:
//   1 "MSG", 2 transmission type, 3 session, 4 aircraft and 6 flight record
//   numbers (BaseStation's database; always 1 here), 5 the address in upper
//   case, 7-8 and 9-10 the date (yyyy/MM/dd) and time (HH:mm:ss.fff) the
//   message was generated and logged, both the local time of reception,
//   11 call sign, 12 altitude, 13 ground speed, 14 track, 15-16 latitude and
//   longitude, 17 vertical rate, 18 squawk, 19-22 the flags alert,
//   emergency, SPI and on the ground (-1 true, 0 false).
// The transmission types, by what the record carries:
//   1 identification: any record with a call sign (of printable characters);
//   3 airborne position (altitude and the position), 2 the same on the
//     ground (the board's "@" altitude): DF 17 with a CPR flag or altitude;
//   4 velocity: DF 17 with east-west and north-south velocities (ground
//     speed and track; the board sends them positive east and north) or a
//     vertical rate;
//   5 DF 4 and 20 (altitude), 6 DF 5 and 21 (squawk, with the flags the
//     alert lines gave), 7 DF 0 and 16 (altitude), 8 DF 11.
// The position is element 1 of PosLat and PosLon, which holds the board's
// position, or the one decoded here in raw position mode. With the distance
// flag set and raw mode off the board sends distance and bearing instead,
// and no position goes out. A field the record does not carry stays empty;
// a record whose address is not hexadecimal gives no line.
void AppendSbsLines(const RecordFields& fields, const MainState& state, const SbsFlags& flags,
                    const LocalDateTime& when, std::string& out);

} // namespace telvorn
