#!/usr/bin/env bash
# The library's exported interface under control: the demangled names of the symbols the
# shared object defines and exports (weak template instantiations aside, which an optimiser
# may or may not emit) must equal the committed list, so that every public class, free
# function and exported static stays exported and nothing internal leaks out. A change to the
# list is made on purpose:
#   tests/abi/check_exports.sh LIBRARY            compare
#   tests/abi/check_exports.sh LIBRARY --update   rewrite tests/abi/exports.txt
set -euo pipefail
library=${1:?usage: check_exports.sh LIBRARY [--update]}
list="$(cd "$(dirname "$0")" && pwd)/exports.txt"

exported() {
    # Strong definitions only; instrumentation of coverage and sanitizer builds is not ours.
    nm -D --defined-only "$library" |
        awk '$2 !~ /^[VWuvw]$/ { print $3 }' |
        grep -Ev '^(_init|_fini|_edata|_end|__bss_start|mangle_path|__gcov|__asan|__ubsan|__odr_asan|__sancov|__llvm|__lsan)' |
        c++filt | LC_ALL=C sort -u
}

if [ "${2:-}" = "--update" ]; then
    exported > "$list"
    echo "wrote $(wc -l < "$list") names to $list"
    exit 0
fi
if ! diff -u "$list" <(exported) > /tmp/tessar-exports.$$.diff; then
    echo "The exported interface differs from tests/abi/exports.txt ('-' lost, '+' new):"
    grep '^[-+][^-+]' /tmp/tessar-exports.$$.diff
    rm -f /tmp/tessar-exports.$$.diff
    echo "If the change is intended, run: tests/abi/check_exports.sh $library --update"
    exit 1
fi
rm -f /tmp/tessar-exports.$$.diff
echo "exports: $(wc -l < "$list") names, as committed"
