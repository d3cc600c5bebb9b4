"""Orders records the way the sorter is meant to, with python's stable sorted().

Input: a line "keys TYPES DESCENDING UNIQUE" (types and flags as comma lists), then one
record per line, its key values separated by blanks: N (null), an integer, T<hex of UTF-16BE
units> (text), F<float>, D<y/m/d/h/mi/s/c>. Output: one line "index count" per item in
order (count: merged duplicates in unique mode), then "--", then one line per group of
equal neighbours: "first-index size".
"""
import itertools
import sys


def parse(token, kind):
    if token == "N":
        return None
    if kind == 1:
        return int(token)
    if kind == 2:
        return bytes.fromhex(token[1:])  # UTF-16BE bytes order exactly like the units
    if kind == 3:
        return float(token[1:])
    return tuple(int(x) for x in token[1:].split("/"))


def main():
    header = sys.stdin.readline().split()
    types = [int(x) for x in header[1].split(",")] if header[1] != "-" else []
    desc = [int(x) for x in header[2].split(",")] if header[2] != "-" else []
    unique = header[3] == "1"
    records = []
    for line in sys.stdin:
        tokens = line.split()
        records.append([parse(t, types[i]) for i, t in enumerate(tokens)])

    def key_of(i):
        # Null first in ascending order; reverse=True then puts it last.
        return lambda r: (0,) if records[r][i] is None else (1, records[r][i])

    def full_key(r):
        return tuple(key_of(i)(r) for i in range(len(types)))

    counts = {}
    order = list(range(len(records)))
    if unique:
        first = {}
        for r in order:
            k = full_key(r)
            if k in first:
                counts[first[k]] += 1
            else:
                first[k] = r
                counts[r] = 1
        order = list(first.values())
    elif types and desc[-1]:
        order.reverse()  # equal items end up newest first
    for i in reversed(range(len(types))):
        order.sort(key=key_of(i), reverse=bool(desc[i]))

    for r in order:
        print(r, counts.get(r, 1))
    print("--")
    for _, group in itertools.groupby(order, key=full_key):
        group = list(group)
        print(group[0], len(group))


main()
