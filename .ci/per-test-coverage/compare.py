#!/usr/bin/env python3
"""Library lines and branches reached before a change and not after.
  compare.py BEFORE_DIR AFTER_DIR [regex on test name+command, default: all]
BEFORE_DIR and AFTER_DIR are pertest.py outputs. Prints each key ("file:line" or
"b:file:line:branch") that the selected tests reached before and no selected test reaches
after, (keys that the CLI, fuzz replays, examples or report tables of BEFORE_DIR reach do not
count), and exits 1 when there is any; also reports failed tests."""
import json, glob, re, sys
pat = re.compile(sys.argv[3]) if len(sys.argv) > 3 else None
def union(d):
    keys, failed = set(), []
    for f in glob.glob(d + '/*.json'):
        r = json.load(open(f))
        if pat and not pat.search(r['name'] + ' ' + ' '.join(r['cmd'])):
            continue
        keys |= set(r['lines']) | set('b:' + b for b in r['branches'])
        if not r['ok']:
            failed.append(r['name'])
    return keys, failed
before, _ = union(sys.argv[1])
# What the CLI, fuzz replays, examples and the report tables reach stays reached whatever a
# trimmed folder does: those keys are not counted as lost.
STAY = ('tessar_reports_tests', 'tessar_lifetime_tests', 'tessar_scc_alloc_tests')
base = set()
for f in glob.glob(sys.argv[1] + '/*.json'):
    r = json.load(open(f))
    cmd = ' '.join(r['cmd'])
    if '--gtest_filter' not in cmd or any(s in cmd for s in STAY):
        base |= set(r['lines']) | set('b:' + b for b in r['branches'])
after, failed = union(sys.argv[2])
lost = sorted(before - after - base)
for k in lost:
    print('lost', k)
for n in failed:
    print('FAILED', n)
print('%d keys before, %d after, %d lost, %d gained, %d failed tests' % (len(before), len(after), len(lost), len(after - before), len(failed)))
sys.exit(1 if lost or failed else 0)
