#!/usr/bin/env python3
"""Builds the soak's two streams from a board recording.

mixed: blocks of valid lines from the recording between faults: random bytes
(line feeds and markers included), runs of markers, bare line feeds and,
every 64th block, a line of one mebibyte without a line feed. Every fault
ends with a line feed, so every valid line stands alone from its marker to
its line feed and must be decoded. clean: the recording's lines alone.

Writes the expected counts as JSON: the accepted records per address (each
must raise that row's "NUMB" by one) and the frame lines ("*", "-").
"""
import argparse
import json
import os

ACCEPTED_DF = {0, 4, 5, 11, 16, 17, 20, 21}
LINES_PER_BLOCK = 200


def accepted_address(line):
    """The address of a record line that reaches the table, else None."""
    if not line.startswith(b"+"):
        return None
    frame = line.rstrip(b"\n").rstrip(b"\r").split(b";")[0]
    fields = frame[1:].split(b",")
    if len(fields) != 16 or not fields[2].isdigit() or int(fields[2]) not in ACCEPTED_DF:
        return None
    return fields[3].decode("latin-1")


def fault(block):
    if block % 64 == 63:
        return b"+" + b"A" * (1 << 20) + b"\n"          # a mebibyte without a line feed
    if block % 8 == 7:
        return b"*+-!" * 1024 + b"\n" + b"*" * 64 + b"\n"  # runs of markers
    if block % 8 == 3:
        return b";\n" * 64                                # bare line feeds
    return os.urandom(16384) + b"\n"                      # random bytes


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--record", required=True)
    parser.add_argument("--mixed", required=True)
    parser.add_argument("--mixed-bytes", type=int, default=1 << 30)
    parser.add_argument("--clean", required=True)
    parser.add_argument("--clean-bytes", type=int, default=256 << 20)
    parser.add_argument("--expect", required=True)
    args = parser.parse_args()

    # Only whole lines that start with a marker: the recording begins and may
    # end mid-line.
    lines = [l for l in open(args.record, "rb").read().split(b"\n")[1:-1] if l[:1] in (b"*", b"+", b"-", b"!")]
    lines = [l + b"\n" for l in lines]
    blocks = []
    for at in range(0, len(lines) - LINES_PER_BLOCK, LINES_PER_BLOCK):
        chunk = lines[at:at + LINES_PER_BLOCK]
        counts = {}
        frames = 0
        for l in chunk:
            address = accepted_address(l)
            if address is not None:
                counts[address] = counts.get(address, 0) + 1
            frames += l[:1] in (b"*", b"-")
        blocks.append((b"".join(chunk), counts, frames))

    records = {}
    frames = 0
    valid_lines = 0
    written = 0
    with open(args.mixed, "wb") as out:
        block = 0
        while written < args.mixed_bytes:
            data, counts, block_frames = blocks[block % len(blocks)]
            out.write(data)
            for address, n in counts.items():
                records[address] = records.get(address, 0) + n
            frames += block_frames
            valid_lines += LINES_PER_BLOCK
            f = fault(block)
            out.write(f)
            written += len(data) + len(f)
            block += 1
    clean_written = 0
    with open(args.clean, "wb") as out:
        block = 0
        while clean_written < args.clean_bytes:
            data = blocks[block % len(blocks)][0]
            out.write(data)
            clean_written += len(data)
            block += 1
    json.dump({"records": records, "frames": frames, "valid_lines": valid_lines,
               "mixed_bytes": written, "clean_bytes": clean_written,
               "clean_lines": block * LINES_PER_BLOCK},
              open(args.expect, "w"))


if __name__ == "__main__":
    main()
