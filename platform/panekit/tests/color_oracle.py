"""Colour oracle: each input line is parsed with tinycss2's CSS colour parser.

With the argument "names", prints the CSS named colours instead. Otherwise prints, per
input line, "r g b a" (channels scaled to 0...255 and rounded, alpha 0...1) or "none" when
the text is no colour.
"""
import sys

import tinycss2.color3 as color3


def main():
    if len(sys.argv) > 1 and sys.argv[1] == "names":
        for name in color3._COLOR_KEYWORDS:
            print(name)
        return
    for line in sys.stdin.read().split("\n"):
        if not line:
            continue
        c = color3.parse_color(line)
        if c is None or isinstance(c, str):
            print("none")
        else:
            print("%d %d %d %g" % (round(c.red * 255), round(c.green * 255), round(c.blue * 255), c.alpha))


main()
