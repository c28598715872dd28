#!/usr/bin/env python3
"""Writes a firmware file for trying the "Service" tab on the simulator: a
program image of the given length (default 60,000 bytes) with a repeating
pattern, as Motorola S-records (S0 header, S2 data records of 32 bytes from
address 000000, S804 end record, CR LF line ends).

    scripts/make_firmware.py OUTPUT [LENGTH]
"""
import sys

RECORD_BYTES = 32


def record(kind, address, address_bytes, data):
    body = bytes([address_bytes + len(data) + 1]) + address.to_bytes(address_bytes, "big") + data
    checksum = (~sum(body)) & 0xFF
    return "S" + kind + (body + bytes([checksum])).hex().upper() + "\r\n"


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    length = int(sys.argv[2]) if len(sys.argv) == 3 else 60000
    image = bytes((i * 7 + i // 256) & 0xFF for i in range(length))
    lines = [record("0", 0, 2, b"BASIC")]
    for offset in range(0, length, RECORD_BYTES):
        lines.append(record("2", offset, 3, image[offset:offset + RECORD_BYTES]))
    lines.append(record("8", 0, 3, b""))
    with open(sys.argv[1], "w", newline="") as out:
        out.write("".join(lines))


if __name__ == "__main__":
    main()
