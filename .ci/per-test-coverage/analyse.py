#!/usr/bin/env python3
"""Which gtest cases add library coverage that nothing else in the suite reaches.
  analyse.py PERTEST_OUT_DIR REPO [folder ...]
For each test folder: every test case with its source place and length, the number of library
lines/branches only it reaches ("unique"), and whether a cost-weighted greedy cover of the
union (CLI, fuzz replays, examples, the report tables, and the cases of the folders named)
keeps it ("KEEP") or can do without it ("drop?": the kept cases and the other tests reach
all it reaches)."""
import json, glob, os, re, sys, collections

out, repo = sys.argv[1], sys.argv[2]
folders = set(sys.argv[3:])
# Folders whose cases stay as they are: their coverage counts as already reached.
STAY = {'reports', 'lifetime', 'scc_alloc'}
runs = [json.load(open(f)) for f in glob.glob(out + '/*.json')]

# Test sources: TEST(Suite, Name) and friends -> (file, first line, last line).
places = {}
macro = re.compile(r'^\s*(?:TEST|TEST_F|TEST_P|TYPED_TEST)\(\s*(\w+)\s*,\s*(\w+)\s*\)')
for path in glob.glob(repo + '/tests/**/*.cpp', recursive=True):
    rel = os.path.relpath(path, repo)
    lines = open(path, errors='replace').read().split('\n')
    starts = [(i, m.group(1), m.group(2)) for i, l in enumerate(lines) for m in [macro.match(l)] if m]
    for k, (i, suite, name) in enumerate(starts):
        end = starts[k + 1][0] if k + 1 < len(starts) else len(lines)
        while end > i + 1 and not lines[end - 1].startswith('}'):
            end -= 1
        places[(suite, name)] = (rel, i + 1, end)


def place_of(test_name):
    # Names: Suite.Name, Prefix/Suite.Name/Param
    core = test_name.split('/')
    core = core[1] if len(core) > 1 else core[0]
    suite, _, name = core.partition('.')
    return places.get((suite, name.split('/')[0]))


gtests, base = [], set()
for r in runs:
    keys = set(r['lines']) | set('b:' + b for b in r['branches'])
    p = place_of(r['name']) if '--gtest_filter' in ' '.join(r['cmd']) else None
    if p and p[0].split('/')[1] in STAY:
        p = None
    if p and (not folders or p[0].split('/')[1] in folders):
        gtests.append((r['name'], p, keys, r['ok']))
    else:
        base |= keys

count = collections.Counter(k for _, _, keys, _ in gtests for k in keys)
universe = set(base).union(*(k for _, _, k, _ in gtests))
covered = set(base)
keep = set()
remaining = {n: (p, k - covered) for n, p, k, _ in gtests}
while True:
    best, score = None, 0.0
    for n, (p, k) in remaining.items():
        new = len(k - covered)
        if new:
            s = new / max(1, p[2] - p[1] + 1)
            if s > score:
                best, score = n, s
    if not best:
        break
    keep.add(best)
    covered |= remaining.pop(best)[1]

by_folder = collections.defaultdict(list)
for n, p, k, ok in gtests:
    folder = p[0].split('/')[1]
    if folders and folder not in folders:
        continue
    uniq = [x for x in k if count[x] == 1 and x not in base]
    by_folder[folder].append((p, n, len(uniq), n in keep, ok))

for folder, rows in sorted(by_folder.items()):
    places_all = {p for p, *_ in rows}
    places_kept = {p for p, n, u, kept, ok in rows if kept}
    total = sum(p[2] - p[1] + 1 for p in places_all)
    drop = sum(p[2] - p[1] + 1 for p in places_all - places_kept)
    print('== %s: %d test lines in cases, %d in cases the cover does without' % (folder, total, drop))
    for p, n, u, kept, ok in sorted(rows):
        print('  %-45s %4d-%-4d %4d lines  unique %3d  %-5s %s%s' % (p[0], p[1], p[2], p[2] - p[1] + 1, u,
              'KEEP' if kept else 'drop?', n, '' if ok else '  FAILED'))
print('universe %d keys; base (non-gtest) %d' % (len(universe), len(base)))
