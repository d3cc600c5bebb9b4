"""The rows of a tree grid as python3's xml.etree.ElementTree sees the same tree.

Input: a first line holding an XML tree whose <n id="..."> elements are the rows (the
document element is the invisible top), then one operation a line:
  i NAME PARENT NEIGHBOUR AFTER   a new <n id="NAME">: with a neighbour, its sibling before
                                  it (AFTER 0) or after it (AFTER 1); else under PARENT ('-'
                                  for the top) as the first (AFTER 0) or last (AFTER 1) child
  d NAME                          removes the element with everything under it
Output: the elements in document order (pre-order), one a line:
  NAME DEPTH PARENT FIRST-CHILD SUBTREE-SIZE   ('-' where there is none)
"""
import sys
import xml.etree.ElementTree as ET


def main():
    lines = sys.stdin.read().split('\n')
    top = ET.fromstring(lines[0])
    parent_of = {}

    def index_parents():
        parent_of.clear()
        for p in top.iter():
            for c in p:
                parent_of[c] = p

    def find(name):
        for e in top.iter('n'):
            if e.get('id') == name:
                return e
        raise SystemExit('no element ' + name)

    index_parents()
    for line in lines[1:]:
        f = line.split()
        if not f:
            continue
        if f[0] == 'i':
            name, parent, neighbour, after = f[1], f[2], f[3], int(f[4])
            made = ET.Element('n', {'id': name})
            up = top if parent == '-' else find(parent)
            if neighbour != '-':
                n = find(neighbour)
                home = parent_of[n]
                if home is not up:
                    raise SystemExit('neighbour %s is no child of %s' % (neighbour, parent))
                if after and len(n):
                    raise SystemExit('after a neighbour with children')
                at = list(home).index(n)
                home.insert(at + 1 if after else at, made)
            elif after:
                up.append(made)
            else:
                up.insert(0, made)
        elif f[0] == 'd':
            e = find(f[1])
            parent_of[e].remove(e)
        else:
            raise SystemExit('bad operation ' + line)
        index_parents()

    def walk(e, depth):
        p = parent_of[e]
        parent = p.get('id') if p is not top else '-'
        first = e[0].get('id') if len(e) else '-'
        size = sum(1 for _ in e.iter('n'))
        print(e.get('id'), depth, parent, first, size)
        for c in e:
            walk(c, depth + 1)

    for c in top:
        walk(c, 0)


main()
