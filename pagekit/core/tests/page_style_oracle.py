#!/usr/bin/python3
# Which elements CSS selectors select, by cssselect's GenericTranslator over lxml.
#
# Input, one case per line: a JSON object {"nodes": [[parent, type, name, [classes]], ...],
# "selectors": [...]}. Node i becomes an element with k="i" under the element of its parent
# (-1: the document root), tagged with its type name ("zz" without one), with id = name
# and class = the words joined by blanks when given. Each selector is evaluated from every
# child of the document root, so the root is never an ancestor in a match.
#
# Output, one line per case: for each selector the sorted k of the elements it selects,
# joined by ",", the selectors separated by ";".
import json
import sys

from cssselect import GenericTranslator
from lxml import etree

translator = GenericTranslator()
compiled = {}


def xpath(selector):
    found = compiled.get(selector)
    if found is None:
        found = etree.XPath(translator.css_to_xpath(selector, prefix="descendant-or-self::"))
        compiled[selector] = found
    return found


def build(nodes):
    root = etree.Element("root")
    elements = []
    for index, (parent, type_name, name, classes) in enumerate(nodes):
        owner = root if parent < 0 else elements[parent]
        element = etree.SubElement(owner, type_name or "zz")
        element.set("k", str(index))
        if name:
            element.set("id", name)
        if classes:
            element.set("class", " ".join(classes))
        elements.append(element)
    return root


def main():
    out = []
    for line in sys.stdin:
        if not line.strip():
            continue
        case = json.loads(line)
        root = build(case["nodes"])
        answers = []
        for selector in case["selectors"]:
            query = xpath(selector)
            hits = set()
            for child in root:
                hits.update(int(e.get("k")) for e in query(child))
            answers.append(",".join(str(k) for k in sorted(hits)))
        out.append(";".join(answers))
    sys.stdout.write("\n".join(out) + "\n")


main()
