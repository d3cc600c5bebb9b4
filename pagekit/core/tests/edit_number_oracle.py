#!/usr/bin/env python3
# Independent reading of the number texts of edits and grid cells, by the decimal module.
#
# Input lines, one case each:
#   I <value> <format>            SetStrInteger
#   D <hex of the double> <format> SetStrDouble; "skip" when the value is near a tie
#   P <text> <caret>               GetPartNumber (text as code points, '_' for empty)
# Output: one line per case, the expected text ("_" for empty), then for P a space and
# the expected caret.
import decimal
import math
import struct
import sys

decimal.getcontext().prec = 200


def group(text):
    sign = ""
    if text.startswith("-"):
        sign, text = "-", text[1:]
    whole, point, rest = text.partition(".")
    out = []
    for i, ch in enumerate(whole):
        if i > 0 and (len(whole) - i) % 3 == 0 and ch.isdigit():
            out.append(",")
        out.append(ch)
    return sign + "".join(out) + point + rest


def set_integer(value, fmt):
    signed = (fmt >> 16) & 0xFF
    grouped = (fmt >> 8) & 0xFF
    text = str(value) if signed else str(value % (1 << 64))
    return group(text) if grouped else text


def near_tie(x, places):
    # Within places + 2 ulps of a value exactly halfway between two results.
    exact = decimal.Decimal(x)
    unit = decimal.Decimal(10) ** -places
    tie = (exact / unit).to_integral_value(rounding=decimal.ROUND_FLOOR) * unit + unit / 2
    return abs(exact - tie) <= (places + 2) * decimal.Decimal(math.ulp(x))


def set_double(x, fmt):
    mode = (fmt >> 24) & 0xF
    if mode > 3 or math.isnan(x):
        return ""
    places = 0 if mode == 0 else min(fmt & 0xFF, 8)
    if near_tie(x, places):
        return None
    q = decimal.Decimal(repr(x)).quantize(decimal.Decimal(10) ** -places, decimal.ROUND_HALF_UP)
    text = "{:f}".format(q)
    if mode == 1 and "." in text:
        text = text.rstrip("0").rstrip(".")
    if text.startswith("-") and set(text[1:]) <= set("0."):
        text = text[1:]
    return group(text) if (fmt >> 8) & 0xFF else text


def part_number(text, caret):
    before = sum(1 for ch in text[:caret] if ch != ",")
    plain = text.replace(",", "")
    start = 1 if plain.startswith("-") else 0
    integer = 0
    while start + integer < len(plain) and plain[start + integer].isdigit():
        integer += 1
    out, moved, new_caret = [], 0, 0
    for i, ch in enumerate(plain):
        digit = i - start
        if i > start and digit < integer and (integer - digit) % 3 == 0:
            out.append(",")
        out.append(ch)
        moved += 1
        if moved == before:
            new_caret = len(out)
    return "".join(out), new_caret


for line in sys.stdin:
    parts = line.split()
    if not parts:
        continue
    if parts[0] == "I":
        print(set_integer(int(parts[1]), int(parts[2])) or "_")
    elif parts[0] == "D":
        x = struct.unpack("<d", bytes.fromhex(parts[1]))[0]
        got = set_double(x, int(parts[2]))
        print("skip" if got is None else (got or "_"))
    elif parts[0] == "P":
        text = "" if parts[1] == "_" else parts[1]
        got, caret = part_number(text, int(parts[2]))
        print((got or "_") + " " + str(caret))
