"""Builds document byte images with struct and the UTF-16LE codec from a list of values.

Each input line is one value: I width unsigned | S hex-of-UTF-16BE-units | S - (null string)
| N count hex (counted, no terminator) | W hex (units, no count) | T eight fields (SYSTIME)
| D seven fields (DATETIME). Prints the whole image as hex.
"""
import struct
import sys

INT = {1: "<B", 2: "<H", 4: "<I", 8: "<Q"}


def text(hexunits):
    return bytes.fromhex(hexunits).decode("utf-16-be", "surrogatepass")


def le(s):
    return s.encode("utf-16-le", "surrogatepass")


out = bytearray()
for line in sys.stdin:
    f = line.split()
    if not f:
        continue
    kind = f[0]
    if kind == "I":
        out += struct.pack(INT[int(f[1])], int(f[2]))
    elif kind == "S" and len(f) > 1 and f[1] == "-":
        out += struct.pack("<I", 0)
    elif kind == "S":
        s = text(f[1] if len(f) > 1 else "")
        out += struct.pack("<I", len(le(s)) // 2 + 1) + le(s + "\0")
    elif kind == "N":
        s = text(f[2] if len(f) > 2 else "")
        out += struct.pack("<I", int(f[1])) + le(s)
    elif kind == "W":
        out += le(text(f[1] if len(f) > 1 else ""))
    elif kind == "T":
        out += struct.pack("<8H", *map(int, f[1:9]))
    elif kind == "D":
        out += struct.pack("<H6B", *map(int, f[1:8]))
    else:
        sys.exit("unknown line: " + line)
print(out.hex())
