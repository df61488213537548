#!/usr/bin/env bash
# Installs a built tree into a temporary prefix, then builds and runs an outside project
# against it twice: through find_package(Tessar500r CONFIG) and through pkg-config.
set -euo pipefail
build=${1:?usage: check_install.sh BUILD_DIR}
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
cmake -S "$root/examples/consumer" -B "$work/consumer" \
      -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/consumer" >/dev/null
"$work/consumer/consumer"

g++ -o "$work/consumer_pc" "$root/examples/consumer/main.cpp" \
    $(PKG_CONFIG_PATH="$work/prefix/lib/pkgconfig" pkg-config --cflags --libs tessar500r) \
    -Wl,-rpath,"$work/prefix/lib"
"$work/consumer_pc"
readelf -d "$work/prefix/lib/libTessar500r.so" | grep -q 'SONAME.*libTessar500r.so.1'
"$work/prefix/bin/tessar" --help >/dev/null
echo "package check: find_package, pkg-config, SONAME and installed tool all work"
