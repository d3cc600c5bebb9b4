"""Reads a tree fixture with python3's ElementTree and prints how to build it and what the
tree item's walks must find.

Input: the path of an XML document whose <node name=".." expanded="0|1"> elements nest.
Output lines, nodes numbered in document (pre-)order from 0:
  op <after|before> <id> <parent|-> <neighbour|-> <expanded> <name>   construction steps
  walk <id> <layer> <visible> <first>                                 the pre-order walk
  sub <id> <ids...>                                                   each node's subtree
  count <nodes> <visible nodes>
  top <id> <visible index or -1>
"""
import sys
import xml.etree.ElementTree as ET


def main():
    root = ET.parse(sys.argv[1]).getroot()
    nodes = []  # (element, parent id, layer, visible, first)

    def visit(elem, parent, layer, visible, first):
        nid = len(nodes)
        nodes.append((elem, parent, layer, visible, first))
        shown = visible and elem.get('expanded') == '1'
        for i, child in enumerate(elem.findall('node')):
            visit(child, nid, layer + 1, shown, 1 if i == 0 else 0)

    for i, top in enumerate(root.findall('node')):
        visit(top, None, 0, True, 1 if i == 0 else 0)
    ids = {id(n[0]): k for k, n in enumerate(nodes)}

    # Construction, parents before children, each ring with every form of insertion: the
    # last member appended, the first put in front, then the middle ones from the back,
    # each before its next sibling or right after the first member.
    def children(parent_elem):
        return [ids[id(c)] for c in parent_elem.findall('node')]

    ops = []
    queue = [(root, None)]
    while queue:
        elem, pid = queue.pop(0)
        kids = children(elem)
        if len(kids) == 1:
            ops.append(('before', kids[0], pid, None))
        elif kids:
            ops.append(('after', kids[-1], pid, None))
            ops.append(('before', kids[0], pid, None))
            for k in range(len(kids) - 2, 0, -1):
                if k % 2:
                    ops.append(('before', kids[k], pid, kids[k + 1]))
                else:
                    ops.append(('after', kids[k], pid, kids[0]))
        for k in kids:
            queue.append((nodes[k][0], k))
    for kind, nid, pid, nb in ops:
        elem = nodes[nid][0]
        print('op', kind, nid, '-' if pid is None else pid, '-' if nb is None else nb,
              1 if elem.get('expanded') == '1' else 0, elem.get('name'))

    for k, (elem, parent, layer, visible, first) in enumerate(nodes):
        print('walk', k, layer, 1 if visible else 0, first)
    for k, (elem, *_rest) in enumerate(nodes):
        below = [ids[id(d)] for d in elem.iter('node') if d is not elem]
        print('sub', k, *below)
    print('count', len(nodes), sum(1 for n in nodes if n[3]))
    index = 0
    for k, n in enumerate(nodes):
        print('top', k, index if n[3] else -1)
        index += 1 if n[3] else 0


main()
