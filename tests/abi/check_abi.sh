#!/usr/bin/env bash
# ABI discipline behind the SONAME promise: the library's binary interface (abidw of a build
# with debug information) is compared with the committed baseline of its major version
# (tests/abi/libTessar500r.so.<major>.abi). Any change but an addition (a removed symbol, a
# changed signature, type or layout) fails unless the major version changed with it; then the
# new major version needs a baseline of its own. Additions pass; refresh the baseline with them.
#   tests/abi/check_abi.sh LIBRARY            compare
#   tests/abi/check_abi.sh LIBRARY --update   write the baseline of the library's major version
set -euo pipefail
library=${1:?usage: check_abi.sh LIBRARY [--update]}
here="$(cd "$(dirname "$0")" && pwd)"
soname=$(readelf -d "$library" | sed -n 's/.*SONAME.*\[\(.*\)\].*/\1/p')
baseline="$here/$soname.abi"

if [ "${2:-}" = "--update" ]; then
    abidw --no-corpus-path --out-file "$baseline" "$library"
    echo "wrote $baseline"
    exit 0
fi
if [ ! -f "$baseline" ]; then
    echo "abi: no baseline for $soname: a new major version; commit one with --update"
    exit 0
fi
status=0
abidiff --no-added-syms "$baseline" "$library" > /tmp/tessar-abi.$$.txt || status=$?
# abidiff's status is a bit field: 1 error, 2 usage, 4 ABI change, 8 incompatible change.
if (( status & 3 )); then
    cat /tmp/tessar-abi.$$.txt; rm -f /tmp/tessar-abi.$$.txt
    echo "abi: abidiff could not compare (status $status)"
    exit 1
fi
# Added functions and variables are filtered out (--no-added-syms); what remains, a removed
# symbol or a changed type, layout or signature, breaks programs built against the baseline.
if (( status & 12 )); then
    cat /tmp/tessar-abi.$$.txt; rm -f /tmp/tessar-abi.$$.txt
    echo "abi: incompatible change against $soname; change the major version with it"
    exit 1
fi
rm -f /tmp/tessar-abi.$$.txt
echo "abi: compatible with $soname"
