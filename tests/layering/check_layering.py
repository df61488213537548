#!/usr/bin/env python3
"""Checks every #include of the library against the layers written in ARCHITECTURE.md.

Reads the `layers` table (component: components it may include) and the `files` table (path
glob -> component) of ARCHITECTURE.md, then every quoted #include of inc/*.h and of the sources
and headers of the library's folders. Prints one line per wrong arrow, "file:line: message",
and exits with 1 when there is any; 0 when the library keeps to its layers.

Usage: check_layering.py [ROOT]   (ROOT defaults to the project root above this script)
"""
import fnmatch
import os
import re
import sys

LIBRARY_FOLDERS = ("platform", "ssm", "scc", "sys", "sfm", "Tessar")
SOURCE_SUFFIXES = (".cpp", ".h")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def fenced_block(text, info):
    """The lines of the fenced block whose info string is `info`."""
    match = re.search(r"^```" + info + r"\s*\n(.*?)^```", text, re.M | re.S)
    if match is None:
        raise ValueError("ARCHITECTURE.md has no ```%s block" % info)
    return [line.strip() for line in match.group(1).splitlines()
            if line.strip() and not line.strip().startswith("#")]


def read_layers(lines):
    """{component: set of components it may include directly}."""
    layers = {}
    for line in lines:
        name, _, uses = line.partition(":")
        layers[name.strip()] = set(uses.split())
    for name, uses in layers.items():
        for used in uses - set(layers):
            raise ValueError("layer %s uses %s, which is no layer" % (name, used))
    return layers


def reachable(layers):
    """{component: every component below it}; fails on a loop, which no layering can have."""
    below = {}

    def visit(name, path):
        if name in path:
            raise ValueError("the layers loop: " + " -> ".join(path + [name]))
        if name not in below:
            found = set()
            for used in layers[name]:
                found |= {used} | visit(used, path + [name])
            below[name] = found
        return below[name]

    for name in layers:
        visit(name, [])
    return below


def read_placements(lines, layers):
    placements = []
    for line in lines:
        glob, component = line.split()
        if component not in layers:
            raise ValueError("files table places %s in %s, which is no layer" % (glob, component))
        placements.append((glob, component))
    return placements


def library_files(root):
    files = ["inc/" + name for name in sorted(os.listdir(os.path.join(root, "inc")))
             if name.endswith(".h")]
    for folder in LIBRARY_FOLDERS:
        directory = os.path.join(root, folder)
        if not os.path.isdir(directory):
            continue
        for name in sorted(os.listdir(directory)):
            if name.endswith(SOURCE_SUFFIXES):
                files.append(folder + "/" + name)
    return files


def component_of(path, placements):
    for glob, component in placements:
        if fnmatch.fnmatchcase(path, glob):
            return component
    return None


def resolve(root, including, target, known):
    """The library file an #include "target" of `including` names, or None."""
    folder = os.path.dirname(including)
    for candidate in (target, "inc/" + target, os.path.normpath(os.path.join(folder, target))):
        if candidate in known:
            return candidate
    return None


def check(root):
    with open(os.path.join(root, "ARCHITECTURE.md"), encoding="utf-8") as architecture:
        text = architecture.read()
    layers = read_layers(fenced_block(text, "layers"))
    below = reachable(layers)
    placements = read_placements(fenced_block(text, "files"), layers)

    files = library_files(root)
    known = set(files)
    errors = []
    components = {}
    for path in files:
        components[path] = component_of(path, placements)
        if components[path] is None:
            errors.append("%s:1: error: no line of the files table in ARCHITECTURE.md places "
                          "this file; add a line (path glob and component) there" % path)

    for path in files:
        source = components[path]
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as stream:
            for number, line in enumerate(stream, 1):
                match = INCLUDE.match(line)
                if match is None:
                    continue
                included = match.group(1)
                target = resolve(root, path, included, known)
                where = "%s:%d: error: " % (path, number)
                if target is None:
                    errors.append(where + '"%s" is no header of the library' % included)
                    continue
                if not target.startswith("inc/") and \
                        os.path.dirname(target) != os.path.dirname(path):
                    errors.append(where + "%s is private to %s/; include a public header "
                                  "(inc/) instead" % (target, os.path.dirname(target)))
                    continue
                wanted = components[target]
                if source is None or wanted is None or wanted == source:
                    continue
                if wanted not in below[source]:
                    errors.append(where + "%s (%s) may not include %s (%s): the arrow %s -> %s "
                                  "is not in the layers of ARCHITECTURE.md"
                                  % (path, source, target, wanted, source, wanted))
    return errors


def main(argv):
    root = argv[1] if len(argv) > 1 else \
        os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    try:
        errors = check(root)
    except (OSError, ValueError) as problem:
        print("ARCHITECTURE.md: error: %s" % problem)
        return 1
    for error in errors:
        print(error)
    if errors:
        print("%d wrong arrow(s); the allowed ones are in ARCHITECTURE.md" % len(errors))
        return 1
    print("layering: every #include keeps to the layers of ARCHITECTURE.md")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
