#!/usr/bin/env python3
"""Per-test coverage of the library: runs each ctest test of a coverage build alone with its
own GCOV_PREFIX, then records the library lines and branches it reaches.
  pertest.py BUILD_DIR OUT_DIR [regex matched against the test's name and command]
Writes OUT_DIR/<index>.json = {"name":..., "ok":bool, "lines":[...], "branches":[...]}"""
import json, os, re, subprocess, sys, shutil, glob
from concurrent.futures import ThreadPoolExecutor

LIB = ('inc/', 'sys/', 'scc/', 'ssm/', 'sfm/', 'platform/', 'Tessar/')
build, out = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
pattern = re.compile(sys.argv[3]) if len(sys.argv) > 3 else None
root = os.path.dirname(os.path.dirname(build)) if build.endswith('build/coverage') else None
os.makedirs(out, exist_ok=True)
tests = json.loads(subprocess.check_output(['ctest', '--test-dir', build, '--show-only=json-v1']))['tests']


def lib_path(p):
    p = os.path.normpath(p)
    if root and p.startswith(root + '/'):
        p = p[len(root) + 1:]
    while p.startswith('../'):
        p = p[3:]
    return p if p.startswith(LIB) else None


def run_one(i):
    t = tests[i]
    if 'command' not in t:  # a test whose binary was not built
        return
    if pattern and not pattern.search(t['name'] + ' ' + ' '.join(t['command'])):
        return
    dest = os.path.join(out, '%d.json' % i)
    if os.path.exists(dest):
        return
    props = {p['name']: p['value'] for p in t.get('properties', [])}
    env = dict(os.environ)
    for kv in props.get('ENVIRONMENT', []):
        k, _, v = kv.partition('=')
        env[k] = v
    prefix = os.path.join(out, 'raw', str(i))  # one per output folder: runs may overlap
    shutil.rmtree(prefix, ignore_errors=True)
    env['GCOV_PREFIX'] = prefix
    try:
        r = subprocess.run(t['command'], cwd=props.get('WORKING_DIRECTORY', build), env=env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
        ok = r.returncode == 0
    except Exception:
        ok = False
    lines, branches = set(), set()
    gcdas = glob.glob(prefix + '/**/*.gcda', recursive=True)
    for f in gcdas:
        orig = f[len(prefix):]
        os.symlink(orig[:-5] + '.gcno', f[:-5] + '.gcno')
    if gcdas:
        res = subprocess.run(['gcov', '-j', '-b', '-t'] + gcdas, cwd=prefix, capture_output=True, text=True)
        for line in res.stdout.splitlines():
            if not line.startswith('{'):
                continue
            d = json.loads(line)
            for fe in d['files']:
                p = lib_path(fe['file'])
                if not p:
                    continue
                for ln in fe['lines']:
                    if ln['count'] > 0:
                        lines.add('%s:%d' % (p, ln['line_number']))
                    for bi, b in enumerate(ln.get('branches', [])):
                        if b['count'] > 0:
                            branches.add('%s:%d:%d' % (p, ln['line_number'], bi))
    shutil.rmtree(prefix, ignore_errors=True)
    with open(dest, 'w') as fh:
        json.dump({'name': t['name'], 'cmd': t['command'], 'ok': ok,
                   'lines': sorted(lines), 'branches': sorted(branches)}, fh)


with ThreadPoolExecutor(int(os.environ.get('JOBS', '2'))) as ex:
    list(ex.map(run_one, range(len(tests))))
