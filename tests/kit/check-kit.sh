#!/usr/bin/env bash
# Builds the sample hosts from the unpacked zip alone (one linked with each import
# library), checks their imports and runs them under wine: start-up 1, a log file,
# version 5/2015, shutdown back.
set -euo pipefail
build=${1:?usage: check-kit.sh BUILD TOOLCHAIN}
toolchain=${2:?usage: check-kit.sh BUILD TOOLCHAIN}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -B "$work/pack" >/dev/null)
kit=$work/kit
unzip -q "$work"/pack/BRMSUPP-*.zip -d "$kit"
cmake -S "$kit/examples" -B "$work/samples" -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
cmake --build "$work/samples" >/dev/null
cc=$(sed -n 's/^set(CMAKE_C_COMPILER \([^)]*\))/\1/p' "$toolchain")
"$cc" -I"$kit/include" "$kit/examples/LinkImportLibrary.c" "$kit/lib/BRMSUPP.lib" -o "$kit/LinkMsLib.exe"
cp "$work"/samples/*.exe "$kit"
/usr/bin/python3 "$(dirname "$0")/check_imports.py" "$kit/include/BRMSUPP.h" \
  "$kit/BindAtRunTime.exe=0" "$kit/LinkImportLibrary.exe=3" "$kit/LinkMsLib.exe=3"

logs=$(wine winepath -u 'C:\ProgramData' 2>/dev/null)/BRAMOK/11.3
for host in BindAtRunTime LinkImportLibrary LinkMsLib; do
  rm -rf "$logs" && mkdir -p "$logs"
  output=$(cd "$kit" && wine "$host.exe" </dev/null | tr -d '\r')
  [[ "$output" == $'startup 1\nversion 5/2015\nshutdown returned' ]] || { echo "$host: $output"; exit 1; }
  ls "$logs"/*.inf >/dev/null || { echo "$host: no log file"; exit 1; }
done
rm -rf "$logs"
echo "kit: 3 sample hosts built from $(basename "$work"/pack/*.zip) ran"
