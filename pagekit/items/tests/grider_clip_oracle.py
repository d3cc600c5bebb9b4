#!/usr/bin/env python3
"""The grid's clipboard text through python3's csv module.

read:  stdin is clipboard text (UTF-8); prints one line per row, each cell's text as
       hex of its UTF-8 ("-" when empty), the in-cell marks 0x1F, 0x1D, 0x1E turned
       back into tab, carriage return and line feed.
write: stdin has one line per row of hex cells as above; prints the clipboard text the
       rows make (UTF-8, as hex on one line), the marks put in.
"""
import csv
import io
import sys

MARKS = {"\t": "\x1f", "\r": "\x1d", "\n": "\x1e"}


def cell_hex(text):
    return text.encode("utf-8").hex() if text else "-"


def main():
    mode = sys.argv[1]
    data = sys.stdin.buffer.read().decode("utf-8")
    if mode == "read":
        reader = csv.reader(io.StringIO(data, newline=""), dialect="excel-tab",
                            quoting=csv.QUOTE_NONE)
        for row in reader:
            row = row or [""]  # csv reads a line with one empty cell as no cells
            cells = [c.translate(str.maketrans({v: k for k, v in MARKS.items()})) for c in row]
            print(" ".join(cell_hex(c) for c in cells))
        return
    out = io.StringIO(newline="")
    writer = csv.writer(out, dialect="excel-tab", lineterminator="\r\n",
                        quoting=csv.QUOTE_NONE, quotechar=None)
    for line in data.splitlines():
        cells = ["" if h == "-" else bytes.fromhex(h).decode("utf-8") for h in line.split(" ")]
        if cells == [""]:
            out.write("\r\n")  # csv refuses one empty unquoted cell
            continue
        writer.writerow([c.translate(str.maketrans(MARKS)) for c in cells])
    print(out.getvalue().encode("utf-8").hex())


main()
