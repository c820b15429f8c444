#!/usr/bin/env python3
"""The include graph of src/: which subsystem includes which, checked against the layers.

Subsystems stand in an order, lowest first, for their core code and for their widget code (ui/).
A file of subsystem X may include the core of any subsystem at or below X in the core order;
widget code of X may include the widget code of any subsystem at or below X in the widget order;
core code never includes widget code. Components (a header and its source) form no circle, except the
pairs in ALLOWED_CIRCLES (a component and the base it is written against).
Prints the subsystem graph; exits 1 on any violation. --dot prints the graph for Graphviz."""
import collections
import os
import re
import sys

# Lowest first. The shell (app) is widgets only: it stands on the record model, and every other
# subsystem's widgets stand on it.
CORE_LAYERS = ["platform", "templates", "app", "store", "editing", "decor", "openpgp", "mail",
               "nscheck", "lookup", "objects", "replies", "cli"]
UI_LAYERS = ["platform", "app", "templates", "store", "editing", "decor", "openpgp", "mail",
             "nscheck", "lookup", "objects", "replies", "main"]
ALLOWED_CIRCLES = [
    {"mail/agsocket", "mail/mssmtp"},
    {"mail/msmsg", "mail/msencoder", "mail/msdecoder"},
]
INCLUDE = re.compile(r'\s*#\s*include\s+"([^"]+)"')


def part_of(path):
    """(subsystem, is_ui) of a path below src/."""
    parts = path.split("/")
    if len(parts) == 1:
        return "main", True  # main.cpp: the window program's entry, above everything
    return parts[0], len(parts) > 2 and parts[1] == "ui"


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
    files = {}
    for folder, _, names in os.walk(root):
        for name in names:
            if name.endswith((".cpp", ".h")):
                path = os.path.relpath(os.path.join(folder, name), root)
                with open(os.path.join(folder, name), errors="replace") as f:
                    files[path] = [m.group(1) for m in map(INCLUDE.match, f) if m]
    edges = collections.Counter()
    problems = []
    for path, includes in sorted(files.items()):
        sub, ui = part_of(path)
        for inc in includes:
            if inc not in files:
                continue
            dsub, dui = part_of(inc)
            if (sub, ui) != (dsub, dui):
                edges[(sub + ("/ui" if ui else ""), dsub + ("/ui" if dui else ""))] += 1
            layers = UI_LAYERS if dui else CORE_LAYERS
            if sub not in layers or dsub not in layers:
                problems.append(f"{path}: subsystem not in the layer list")
            elif dui and not ui:
                problems.append(f"{path} includes {inc}: core code includes widget code")
            elif layers.index(dsub) > layers.index(sub):
                problems.append(f"{path} includes {inc}: {dsub} lies above {sub}")
    # Circles among components: a header and its source are one node.
    graph = collections.defaultdict(set)
    for p, inc in files.items():
        graph[os.path.splitext(p)[0]] |= {os.path.splitext(i)[0] for i in inc if i in files}
        graph[os.path.splitext(p)[0]].discard(os.path.splitext(p)[0])
    allowed = ALLOWED_CIRCLES
    index, low, stack, on_stack, circles = {}, {}, [], set(), []
    counter = [0]

    def visit(node):
        index[node] = low[node] = counter[0]
        counter[0] += 1
        stack.append(node)
        on_stack.add(node)
        for nxt in sorted(graph[node]):
            if nxt not in index:
                visit(nxt)
                low[node] = min(low[node], low[nxt])
            elif nxt in on_stack:
                low[node] = min(low[node], index[nxt])
        if low[node] == index[node]:
            component = set()
            while True:
                top = stack.pop()
                on_stack.discard(top)
                component.add(top)
                if top == node:
                    break
            if len(component) > 1:
                circles.append(component)

    sys.setrecursionlimit(10000)
    for node in list(graph):
        if node not in index:
            visit(node)
    for circle in circles:
        if not any(circle == pair for pair in allowed):
            problems.append("circle: " + " <-> ".join(sorted(circle)))
    if "--dot" in sys.argv:
        print("digraph includes {")
        for (a, b), n in sorted(edges.items()):
            print(f'  "{a}" -> "{b}" [label={n}];')
        print("}")
    else:
        for (a, b), n in sorted(edges.items()):
            print(f"{a:14} -> {b:14} {n:3} includes")
    for p in problems:
        print("VIOLATION:", p, file=sys.stderr)
    print(f"include graph: {len(files)} files, {len(edges)} subsystem edges, "
          f"{len(circles)} circles ({len(ALLOWED_CIRCLES)} allowed), "
          f"{len(problems)} violations", file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
