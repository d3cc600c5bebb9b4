#!/usr/bin/python3
"""Independent encoder of the reader's two frame kinds, used to cross-check
the library. Each input line is 'sdt CMD PARAM [DATA...]' or 'ic DATA...'
(hex bytes); each output line is the frame in upper-case hex, space separated."""
import sys
from functools import reduce


def xor(values):
    return reduce(lambda a, b: a ^ b, values, 0)


def sdt(cmd, param, data):
    body = bytes([cmd, param]) + data
    length = (len(body) + 1).to_bytes(2, "big")
    check = xor(length + body)
    return b"\xaa\xaa\xaa\x96\x69" + length + body + bytes([check])


def ic(data):
    head = b"\x55\xaa" + bytes([len(data) + 1])
    return head + data + bytes([xor(head + data)])


for line in sys.stdin:
    words = line.split()
    if not words:
        continue
    values = bytes(int(w, 16) for w in words[1:])
    frame = sdt(values[0], values[1], values[2:]) if words[0] == "sdt" else ic(values)
    print(" ".join("%02X" % b for b in frame))
