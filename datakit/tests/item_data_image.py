"""Oracles for the item data descriptor tests, run by /usr/bin/python3.

  xml FILE      prints one line per element of the XML file: tag, then the attributes
                id type size name class keyer default ('-' when absent), '|'-separated.
  image FILE    reads a JSON list of descriptors and prints, in hex, the archive section
                that holds them, built with struct from the documented layout.
"""
import json
import struct
import sys
import xml.etree.ElementTree as ET

ATTRS = ["id", "type", "size", "name", "class", "keyer", "default"]


def xml_lines(path):
    root = ET.parse(path).getroot()
    for element in [root] + list(root):
        values = [element.get(a, "-") for a in ATTRS]
        print("|".join([element.tag] + values))


def counted(text):
    if text is None:
        return struct.pack("<I", 0)
    units = text.encode("utf-16-le") + b"\0\0"
    return struct.pack("<I", len(units) // 2) + units


def value_bytes(d):
    t = d["type"]
    if d["isNull"]:
        return b""
    if t == 1:
        return struct.pack("<q", d["value"])
    if t == 3:
        return struct.pack("<d", d["value"])
    if t == 4:
        return struct.pack("<HBBBBBB", *d["value"])
    if t in (2, 14):
        return d["value"].encode("utf-16-le") + b"\0\0"
    if t == 10:
        raw = bytes.fromhex(d["value"])
        return struct.pack("<I", len(raw)) + raw
    if t == 17:
        return bytes.fromhex(d["value"])
    raise ValueError(t)


def image(path, code=0x55):
    with open(path, encoding="utf-8") as f:
        descs = json.load(f)
    out = struct.pack("<BH", 2, code)
    for d in descs:
        data = struct.pack("<IIHHhhII", d["id"], d["class"], d["type"], d["size"],
                           d["modified"], d["isNull"], d["flags"], d["extra"])
        data += counted(d["name"]) + counted(d.get("keyer")) + counted(d.get("default"))
        data += value_bytes(d)
        out += struct.pack("<BHI", 1, 4097, len(data)) + data
    out += struct.pack("<BH", 3, code)
    print(out.hex())


if __name__ == "__main__":
    {"xml": xml_lines, "image": image}[sys.argv[1]](sys.argv[2])
