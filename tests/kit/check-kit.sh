#!/usr/bin/env bash
# The kit as a host developer gets it: the zip holds exactly what ships, its page opens with
# the sample host's lines, and the sample hosts built from the unpacked zip alone (one linked
# with each import library) run under wine: start-up 1, a log file, version 5/2015, shutdown.
set -euo pipefail
build=${1:?usage: check-kit.sh BUILD TOOLCHAIN} toolchain=${2:?usage: check-kit.sh BUILD TOOLCHAIN}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -B "$work/pack" >/dev/null)
kit=$work/kit
unzip -q "$work"/pack/BRMSUPP-*.zip -d "$kit"
expected=$'BRMFW.dll\nBRMSUPP.dll\nREADME.md\nexamples/BindAtRunTime.c\nexamples/CMakeLists.txt
examples/LinkImportLibrary.c\ninclude/BRMSUPP.h\nlib/BRMSUPP.lib\nlib/libBRMSUPP.dll.a\nnl/BRMSUPP.DLL
policy/BRAMOK.admx\npolicy/DisableActivityLog-32bit-Windows.reg
policy/DisableActivityLog-64bit-Windows.reg\npolicy/en-US/BRAMOK.adml\nuk/BRMSUPP.DLL\nus/BRMSUPP.DLL'
zipped=$(cd "$kit" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[[ "$zipped" == "$expected" ]] || { echo "zipped: $zipped"; exit 1; }
example=$(sed -n '/^```c$/,/^```$/{/^```/!p}' "$kit/README.md")
[[ $(grep -c . <<<"$example") == 5 ]] && ! grep -vxFf <(sed 's/^ *//' "$kit/examples/BindAtRunTime.c") <<<"$example" ||
  { echo "README example, not 5 lines of the sample: $example"; exit 1; }
# The template names the keys and value the .reg files name (PolicyTest runs those against the module).
admx=$(sed -n 's/.*key="\([^"]*\)" valueName="\([^"]*\)".*/\1 \2/p' "$kit/policy/BRAMOK.admx" | sort -u)
regs=$(sed -n '/^\[/{N;s/^\[HKEY_LOCAL_MACHINE\\\(.*\)\]\r\n"\(.*\)"=.*/\1 \2/p}' "$kit"/policy/*.reg | sort -u)
[[ -n "$admx" && "$admx" == "$regs" ]] || { echo "policy template: $admx; .reg files: $regs"; exit 1; }
cmake -S "$kit/examples" -B "$work/samples" -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
cmake --build "$work/samples" >/dev/null
cc=$(sed -n 's/^set(CMAKE_C_COMPILER \([^)]*\))/\1/p' "$toolchain")
"$cc" -I"$kit/include" "$kit/examples/LinkImportLibrary.c" "$kit/lib/BRMSUPP.lib" -o "$kit/LinkMsLib.exe"
cp "$work"/samples/*.exe "$kit"
logs=$(wine winepath -u 'C:\ProgramData' 2>/dev/null)/BRAMOK/11.3
for host in BindAtRunTime LinkImportLibrary LinkMsLib; do
  rm -rf "$logs" && mkdir -p "$logs"
  output=$(cd "$kit" && wine "$host.exe" </dev/null | tr -d '\r')
  [[ "$output" == $'startup 1\nversion 5/2015\nshutdown returned' ]] || { echo "$host: $output"; exit 1; }
  ls "$logs"/*.inf >/dev/null || { echo "$host: no log file"; exit 1; }
done
rm -rf "$logs"
echo "kit: $(basename "$work"/pack/*.zip) holds what ships; 3 sample hosts built from it ran"
