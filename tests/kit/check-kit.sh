#!/usr/bin/env bash
# The kit as a host developer gets it: what the zip holds, its page's sample, hosts built from it
# alone under wine, its CMake package's version and word size, and the symbols zip's PDB files.
set -euo pipefail
build=${1:?usage: check-kit.sh BUILD TOOLCHAIN} toolchain=${2:?usage: check-kit.sh BUILD TOOLCHAIN}
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
trap 'echo "kit: the step '\''$BASH_COMMAND'\'' failed (line $LINENO); its output is above" >&2' ERR
cd "$work"
fail() {
  echo "kit: $*" >&2
  exit 1
}
(cd "$build" && cpack -B "$work/pack" >/dev/null)
kit=$work/kit zip=$(echo pack/BRMSUPP-*-win[0-9][0-9].zip)
unzip -q "$zip" -d "$kit"
unzip -q "${zip%.zip}-symbols.zip" -d symbols
shipped=(BRMFW.dll BRMSUPP.dll README.md include/BRMSUPP.h {nl,uk,us}/BRMSUPP.DLL
  examples/{BindAtRunTime.c,CMakeLists.txt,LinkImportLibrary.c} lib/{BRMSUPP.lib,libBRMSUPP.dll.a}
  lib/pkgconfig/brmsupp.pc lib/cmake/BRMSUPP/BRMSUPPConfig{,Version}.cmake
  policy/{BRAMOK.admx,en-US/BRAMOK.adml,DisableActivityLog-{32,64}bit-Windows.reg})
zipped=$(cd "$kit" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[[ $zipped == $(printf '%s\n' "${shipped[@]}" | LC_ALL=C sort) ]] || fail "zipped: $zipped"
unreadable=$(zipinfo 'pack/*.zip' | awk '/^-/ && substr($1, 8, 1) != "r" { print $NF }')
[[ -z $unreadable ]] || fail "not readable by all: $unreadable"
example=$(sed -n '/^```c$/,/^```$/{/^```/!p}' "$kit/README.md")
[[ $(grep -c . <<<"$example") == 5 ]] &&
  ! grep -vxFf <(sed 's/^ *//' "$kit/examples/BindAtRunTime.c") <<<"$example" ||
  fail "README example, not 5 lines of the sample: $example"

# The samples from outside the kit, so that only CMAKE_PREFIX_PATH finds it.
cp -r "$kit/examples" host
cmake -S host -B samples -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$kit" >/dev/null
cmake --build samples >/dev/null
cc=$(sed -n 's/^set(BRM_TARGET \([^)]*\))/\1/p' "$toolchain")-gcc   # a host developer's gcc
(cd "$kit" && "$cc" -Iinclude examples/LinkImportLibrary.c lib/BRMSUPP.lib -o LinkMsLib.exe)
read -ra flags <<<"$(PKG_CONFIG_LIBDIR="$kit/lib/pkgconfig" pkg-config --cflags --libs brmsupp)"
"$cc" "$kit/examples/LinkImportLibrary.c" "${flags[@]}" -o "$kit/LinkPkgConfig.exe"
bits=${zip##*-win} bits=${bits%.zip} want=$((96 - bits))   # want: the other word size
other=$(sed 's/i686/x86_64/;t;s/x86_64/i686/' <<<"$toolchain")   # i686 and x86_64 swapped
said=$(cmake -S host -B other -DCMAKE_TOOLCHAIN_FILE="$other" -DCMAKE_PREFIX_PATH="$kit" 2>&1) &&
  fail "a $want-bit project took the $bits-bit kit"
refusal="this kit ($kit) is $bits-bit, but the project builds $want-bit code; use the $want-bit kit"
[[ $(tr -s ' \n' ' ' <<<"$said") == *"BRMSUPP: $refusal"* &&
  $(grep -c 'CMake Error' <<<"$said") == 1 ]] || fail "a $want-bit project, not refused so: $said"
# The version it asks for gives ours, and the import library in the linker's own format.
mkdir probe && cat >probe/CMakeLists.txt <<'EOF'
cmake_minimum_required(VERSION 3.20)
project(probe NONE)
find_package(BRMSUPP 11.3 CONFIG REQUIRED)
get_target_property(implib BRMSUPP::BRMSUPP IMPORTED_IMPLIB)
message(NOTICE "${BRMSUPP_VERSION} ${implib}")
EOF
while read -r msvc implib; do
  found=$(cmake -S probe -B "probe/$msvc" -DCMAKE_PREFIX_PATH="$kit" -DMSVC="$msvc" 2>&1 >/dev/null)
  [[ $found == "11.3.1508.1001 $kit/lib/$implib" ]] || fail "MSVC $msvc, version and implib: $found"
done <<<$'OFF libBRMSUPP.dll.a\nON BRMSUPP.lib'

logs=$(wine winepath -u 'C:\ProgramData' 2>/dev/null)/BRAMOK/11.3
for host in samples/{BindAtRunTime,LinkImportLibrary} "$kit"/{LinkMsLib,LinkPkgConfig}; do
  rm -rf "$logs" && mkdir -p "$logs"
  output=$(cd "$(dirname "$host")" && wine "$(basename "$host").exe" </dev/null | tr -d '\r')
  [[ $output == $'startup 1\nversion 5/2015\nshutdown returned' ]] || fail "$host: $output"
  ls "$logs"/*.inf >/dev/null || fail "$host: no log file"
done
rm -rf "$logs"

# Each module's debug record names its PDB alone; its GUID and age are the PDB's and its folder's.
for module in BRMFW BRMSUPP; do   # BRMSUPP last: its PDB is the one debugged below
  record=$(llvm-readobj --coff-debug-directory "$kit/$module.dll")
  [[ $(sed -n 's/ *PDBFileName: //p' <<<"$record") == "$module.pdb" ]] || fail "$record"
  read -ra b <<<"$(sed -n 's/ *PDBGUID: (\(.*\))/\1/p' <<<"$record")"
  key=${b[3]}${b[2]}${b[1]}${b[0]}${b[5]}${b[4]}${b[7]}${b[6]}$(printf %s "${b[@]:8}")
  key+=$(printf %X "$(sed -n 's/ *PDBAge: //p' <<<"$record")")
  pdb=$module.pdb/$key/$module.pdb
  summary=$(llvm-pdbutil dump --summary "symbols/$pdb" 2>&1) || fail "no symbols/$pdb"
  guid=$(sed -n 's/ *GUID: {\(.*\)}/\1/p' <<<"$summary")
  [[ ${guid//-/}$(sed -n 's/ *Age: //p' <<<"$summary") == "$key" ]] || fail "$pdb: $summary"
done
[[ $(find symbols -type f | wc -l) == 2 ]] || fail "symbols zip: $(find symbols -type f)"
# With its PDB beside it, as a debugger pairs them, each export is its own function at a line.
mkdir debug && cp "$kit/BRMSUPP.dll" "symbols/$pdb" debug
base=$(llvm-readobj --file-headers debug/BRMSUPP.dll | sed -n 's/ *ImageBase: //p')
exports=$(llvm-readobj --coff-exports debug/BRMSUPP.dll |
  awk '/Ordinal:/ { o = $2 } /RVA:/ { print o, $2 }')
while read -r ordinal function file; do
  rva=$(awk -v o="$ordinal" '$1 == o { print $2 }' <<<"$exports")
  said=$(llvm-symbolizer --obj=debug/BRMSUPP.dll "$((base + rva))")
  [[ $said == "$function"$'\n'"C:\\BRMSUPP\\$file:"[1-9]* ]] || fail "export $ordinal: $said"
done <<'EXPORTS'
1 ModuleStartup module\ModuleMain.cpp
2 ModuleShutdown module\ModuleMain.cpp
7 LoadLanguageModule language\LanguageSelection.cpp
9 OpenPage web\PageLauncher.cpp
10 GetVersionDate module\ModuleMain.cpp
11 ShowSoftwareUpdates updates\SoftwareUpdatesDlg.cpp
EXPORTS
echo "kit: ${zip#pack/} holds what ships; 4 hosts from it ran; its package refused what it should"
echo "symbols: $(find symbols -type f | sort | xargs); each export named, as ${said//$'\n'/ at }"
