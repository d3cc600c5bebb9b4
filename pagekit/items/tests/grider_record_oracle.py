"""Packs grid rows as matter records with python3's struct module and UTF-16LE codec.

Input: a first line of column codes (i2, i4, i8, d, dt, or t<units>), then one line per
row with one field per column: '-' for null, a decimal integer, 0x<bits> of a double,
y:mo:d:h:mi:s:c for a date-time, or the UTF-8 hex of a text ('.' for the empty text).
Output: one line per row, the record's hex, a space, and the null map's hex.
"""
import struct
import sys


def text_field(value, units):
    data = value.encode('utf-16-le')
    keep = max(units - 1, 0)
    cut = data[:2 * keep]
    if len(data) > len(cut) and len(cut) >= 2:
        last = struct.unpack('<H', cut[-2:])[0]
        if 0xD800 <= last <= 0xDBFF:
            cut = cut[:-2]
    return cut + b'\0' * (2 * units - len(cut))


def field(code, token):
    if code == 'dt':
        size = 8
    elif code.startswith('t'):
        size = 2 * int(code[1:])
    elif code == 'd':
        size = 8
    else:
        size = int(code[1:])
    if token == '-':
        return b'\0' * size, 1
    if code == 'i2':
        return struct.pack('<h', int(token)), 0
    if code == 'i4':
        return struct.pack('<i', int(token)), 0
    if code == 'i8':
        return struct.pack('<q', int(token)), 0
    if code == 'd':
        bits = struct.pack('<Q', int(token, 16))
        return struct.pack('<d', struct.unpack('<d', bits)[0]), 0
    if code == 'dt':
        y, mo, d, h, mi, s, c = (int(x) for x in token.split(':'))
        return struct.pack('<HBBBBBB', y, mo, d, h, mi, s, c), 0
    text = '' if token == '.' else bytes.fromhex(token).decode('utf-8')
    return text_field(text, int(code[1:])), 0


def main():
    lines = sys.stdin.read().splitlines()
    codes = lines[0].split()
    for line in lines[1:]:
        record = b''
        nulls = b''
        for code, token in zip(codes, line.split()):
            data, null = field(code, token)
            record += data
            nulls += bytes([null])
        print(record.hex(), nulls.hex())


main()
