#!/usr/bin/python3
"""Prints the include circles of a source tree and exits 1 when there are any.

A unit is a header and its source file taken together (ui/app/MainWave.h and .cpp are
one unit); a circle is a set of two or more units that reach one another through their
#include "..." lines. Includes are looked up from the tree's root, then beside the file.

  scripts/include-circles.py [src]
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
SOURCES = ('.h', '.hpp', '.cpp', '.cc')


def units(root):
    """{unit: set of units it includes}, units named by path below root without suffix."""
    files = {}
    for folder, _, names in os.walk(root):
        for name in names:
            if name.endswith(SOURCES):
                path = os.path.join(folder, name)
                files[os.path.relpath(path, root).replace(os.sep, '/')] = path
    graph = {os.path.splitext(rel)[0]: set() for rel in files}
    for rel, path in files.items():
        unit = os.path.splitext(rel)[0]
        with open(path, encoding='utf-8', errors='replace') as f:
            text = f.read()
        for name in INCLUDE.findall(text):
            beside = os.path.normpath(os.path.join(os.path.dirname(rel), name)).replace(os.sep, '/')
            target = name if name in files else beside if beside in files else None
            if target:
                other = os.path.splitext(target)[0]
                if other != unit:
                    graph[unit].add(other)
    return graph


def circles(graph):
    """The strongly connected components of more than one unit (Tarjan, without recursion)."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = 0
    for start in sorted(graph):
        if start in index:
            continue
        work = [(start, iter(sorted(graph[start])))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, edges = work[-1]
            step = next(edges, None)
            if step is not None:
                if step not in index:
                    index[step] = low[step] = counter
                    counter += 1
                    stack.append(step)
                    on_stack.add(step)
                    work.append((step, iter(sorted(graph[step]))))
                elif step in on_stack:
                    low[node] = min(low[node], index[step])
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[node])
            if low[node] == index[node]:
                component = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    component.append(member)
                    if member == node:
                        break
                if len(component) > 1:
                    found.append(sorted(component))
    return sorted(found)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'src')
    graph = units(root)
    found = circles(graph)
    for component in found:
        print(f'circle of {len(component)} units:')
        for unit in component:
            inside = sorted(u for u in graph[unit] if u in component)
            print(f'  {unit} -> {", ".join(inside)}')
    print(f'{len(found)} include circles in {len(graph)} units')
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main())
