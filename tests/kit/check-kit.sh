#!/usr/bin/env bash
# The kit as a host developer gets it: the zip holds what ships, its page opens with the sample's
# lines; hosts built from the unpacked zip alone (its CMake package, BRMSUPP.lib, pkg-config) run
# under wine; the package takes the versions it should and refuses the other word size. The
# symbols zip holds each module's PDB where its debug record sends a debugger, and through it
# each export, and a fault the test host provokes in the module, are named by their functions.
set -euo pipefail
build=${1:?usage: check-kit.sh BUILD TOOLCHAIN} toolchain=${2:?usage: check-kit.sh BUILD TOOLCHAIN}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trap 'echo "kit: the step '\''$BASH_COMMAND'\'' failed (line $LINENO); its output is above" >&2' ERR
(cd "$build" && cpack -B "$work/pack" >/dev/null)
kit=$work/kit zip=$(echo "$work"/pack/BRMSUPP-*-win[0-9][0-9].zip) symbols=$work/symbols
unzip -q "$zip" -d "$kit"
unzip -q "${zip%.zip}-symbols.zip" -d "$symbols"
expected=$'BRMFW.dll\nBRMSUPP.dll\nREADME.md\nexamples/BindAtRunTime.c\nexamples/CMakeLists.txt
examples/LinkImportLibrary.c\ninclude/BRMSUPP.h\nlib/BRMSUPP.lib\nlib/cmake/BRMSUPP/BRMSUPPConfig.cmake
lib/cmake/BRMSUPP/BRMSUPPConfigVersion.cmake\nlib/libBRMSUPP.dll.a\nlib/pkgconfig/brmsupp.pc\nnl/BRMSUPP.DLL
policy/BRAMOK.admx\npolicy/DisableActivityLog-32bit-Windows.reg
policy/DisableActivityLog-64bit-Windows.reg\npolicy/en-US/BRAMOK.adml\nuk/BRMSUPP.DLL\nus/BRMSUPP.DLL'
zipped=$(cd "$kit" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[[ "$zipped" == "$expected" ]] || { echo "zipped: $zipped"; exit 1; }
# Every file of both zips is readable by everyone once unpacked.
for z in "$zip" "${zip%.zip}-symbols.zip"; do
  unreadable=$(zipinfo "$z" | awk '/^-/ && substr($1, 8, 1) != "r" { print $NF }')
  [[ -z $unreadable ]] || { echo "$z: not readable by all: $unreadable"; exit 1; }
done
example=$(sed -n '/^```c$/,/^```$/{/^```/!p}' "$kit/README.md")
[[ $(grep -c . <<<"$example") == 5 ]] && ! grep -vxFf <(sed 's/^ *//' "$kit/examples/BindAtRunTime.c") <<<"$example" ||
  { echo "README example, not 5 lines of the sample: $example"; exit 1; }

# The samples from outside the kit, so that only CMAKE_PREFIX_PATH finds it.
cp -r "$kit/examples" "$work/host"
cmake -S "$work/host" -B "$work/samples" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$kit" >/dev/null
cmake --build "$work/samples" >/dev/null
cc=$(sed -n 's/^set(BRM_TARGET \([^)]*\))/\1/p' "$toolchain")-gcc   # a host developer's gcc
"$cc" -I"$kit/include" "$kit/examples/LinkImportLibrary.c" "$kit/lib/BRMSUPP.lib" -o "$kit/LinkMsLib.exe"
read -ra flags <<<"$(PKG_CONFIG_LIBDIR="$kit/lib/pkgconfig" pkg-config --cflags --libs brmsupp)"
"$cc" "$kit/examples/LinkImportLibrary.c" "${flags[@]}" -o "$kit/LinkPkgConfig.exe"
bits=${zip##*-win} bits=${bits%.zip}
case $bits in 32) other=${toolchain/i686/x86_64} want=64 ;; *) other=${toolchain/x86_64/i686} want=32 ;; esac
said=$(cmake -S "$work/host" -B "$work/other" -DCMAKE_TOOLCHAIN_FILE="$other" -DCMAKE_PREFIX_PATH="$kit" 2>&1) &&
  { echo "a $want-bit project took the $bits-bit kit"; exit 1; }
[[ $(tr -s ' \n' ' ' <<<"$said") == *"BRMSUPP: this kit ($kit) is $bits-bit, but the project builds $want-bit code; use the $want-bit kit"* &&
   $(grep -c 'CMake Error' <<<"$said") == 1 ]] || { echo "$want-bit project against the $bits-bit kit: $said"; exit 1; }
mkdir "$work/probe" && cat >"$work/probe/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.20)
project(probe NONE)
foreach(version IN ITEMS 11 11.0 11.3 11.3.1508.1001 11.4 12 10)
  find_package(BRMSUPP ${version} CONFIG QUIET)
  message(NOTICE "${version} ${BRMSUPP_FOUND}")
endforeach()
get_target_property(implib BRMSUPP::BRMSUPP IMPORTED_IMPLIB)
message(NOTICE "${implib}")
EOF
for linker in "OFF libBRMSUPP.dll.a" "ON BRMSUPP.lib"; do
  found=$(cmake -S "$work/probe" -B "$work/probe/${linker% *}" -DCMAKE_PREFIX_PATH="$kit" -DMSVC="${linker% *}" 2>&1 >/dev/null)
  [[ "$found" == $'11 1\n11.0 1\n11.3 1\n11.3.1508.1001 1\n11.4 0\n12 0\n10 0\n'"$kit/lib/${linker#* }" ]] ||
    { echo "versions found, and import library (MSVC ${linker% *}): $found"; exit 1; }
done

logs=$(wine winepath -u 'C:\ProgramData' 2>/dev/null)/BRAMOK/11.3
for host in "$work"/samples/{BindAtRunTime,LinkImportLibrary} "$kit"/{LinkMsLib,LinkPkgConfig}; do
  rm -rf "$logs" && mkdir -p "$logs"
  output=$(cd "$(dirname "$host")" && wine "$(basename "$host").exe" </dev/null | tr -d '\r')
  [[ "$output" == $'startup 1\nversion 5/2015\nshutdown returned' ]] || { echo "$host: $output"; exit 1; }
  ls "$logs"/*.inf >/dev/null || { echo "$host: no log file"; exit 1; }
done
rm -rf "$logs"

# Each module's debug record names its PDB alone; its GUID (fields as numbers, then bytes) and age
# are the PDB's and the symbol store's folder name.
stored=()
for module in BRMFW BRMSUPP; do
  record=$(llvm-readobj --coff-debug-directory "$kit/$module.dll")
  read -ra b <<<"$(sed -n 's/ *PDBGUID: (\(.*\))/\1/p' <<<"$record")"
  age=$(sed -n 's/ *PDBAge: //p' <<<"$record")
  key=${b[3]}${b[2]}${b[1]}${b[0]}${b[5]}${b[4]}${b[7]}${b[6]}$(printf %s "${b[@]:8}")
  key+=$(printf %X "$age")
  [[ $(sed -n 's/ *PDBFileName: //p' <<<"$record") == "$module.pdb" ]] ||
    { echo "$record"; exit 1; }
  pdb=$module.pdb/$key/$module.pdb
  summary=$(llvm-pdbutil dump --summary "$symbols/$pdb")
  guid=$(sed -n 's/ *GUID: {\(.*\)}/\1/p' <<<"$summary")
  [[ ${guid//-/}$(sed -n 's/ *Age: //p' <<<"$summary") == "$key" ]] ||
    { echo "$pdb: $summary"; exit 1; }
  stored+=("$pdb")
done
in_zip=$(cd "$symbols" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[[ "$in_zip" == $(printf '%s\n' "${stored[@]}") ]] ||
  { echo "symbols zip: $(cd "$symbols" && find . -type f)"; exit 1; }
# The module with its PDB beside it, as a debugger pairs them: every export is its own function,
# at a line of its source file.
mkdir "$work/debug" && cp "$kit/BRMSUPP.dll" "$symbols/${stored[1]}" "$work/debug"
base=$(llvm-readobj --file-headers "$kit/BRMSUPP.dll" | sed -n 's/ *ImageBase: //p')
exports=$(llvm-readobj --coff-exports "$kit/BRMSUPP.dll" |
  awk '/Ordinal:/ { o = $2 } /RVA:/ { print o, $2 }')
where() { llvm-symbolizer --obj="$work/debug/BRMSUPP.dll" "$((base + $1))"; }
while read -r ordinal function file; do
  said=$(where "$(awk -v o="$ordinal" '$1 == o { print $2 }' <<<"$exports")")
  [[ "$said" == "$function"$'\n'"C:\\BRMSUPP\\$file:"[1-9]* ]] ||
    { echo "export $ordinal: $said"; exit 1; }
done <<'EXPORTS'
1 ModuleStartup module\ModuleMain.cpp
2 ModuleShutdown module\ModuleMain.cpp
7 LoadLanguageModule language\LanguageSelection.cpp
9 OpenPage web\PageLauncher.cpp
10 GetVersionDate module\ModuleMain.cpp
11 ShowSoftwareUpdates updates\SoftwareUpdatesDlg.cpp
EXPORTS
# A host's pointer to no memory faults inside the module; the symbols name the function.
cp "$build/bin/TestHost.exe" "$kit"
fault=$(cd "$kit" && wine TestHost.exe fault </dev/null | tr -d '\r')
[[ "$fault" == "fault BRMSUPP.dll+0x"* ]] || { echo "fault: $fault"; exit 1; }
said=$(where "0x${fault#*+0x}")
[[ "$said" == $'GetVersionDate\nC:\\BRMSUPP\\module\\ModuleMain.cpp:'[1-9]* ]] ||
  { echo "$fault: $said"; exit 1; }
echo "kit: $(basename "$zip") holds what ships; 4 hosts built from it ran;" \
  "its package refused what it should"
echo "symbols: ${stored[*]}; $fault is ${said//$'\n'/ at }"
