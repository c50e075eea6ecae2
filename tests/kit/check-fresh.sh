#!/usr/bin/env bash
# Files that ship or are tested reach bin/ and the installed kit (what cpack zips) on the next
# incremental build: in a scratch copy of the tree, a policy template, the module's manifest, the
# dialog all language modules share and a kit sample each change after a first build.
set -euo pipefail
src=${1:?usage: check-fresh.sh SOURCE TOOLCHAIN} toolchain=${2:?usage: check-fresh.sh SOURCE TOOLCHAIN}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tar -C "$src" --exclude=./build --exclude=./.git -cf - . | (mkdir "$work/src" && tar -C "$work/src" -xf -)
b=$work/b kit=$work/kit
build() {   # the language modules, the module's resources, and the kit's files from the tree
  cmake --build "$b" --target language_uk language_us language_nl >/dev/null
  make -s -C "$b/module" BRMSUPP.rc.res >/dev/null
  for dir in . policy language/modules; do
    cmake -DCMAKE_INSTALL_PREFIX="$kit" -DCMAKE_INSTALL_LOCAL_ONLY=1 -P "$b/$dir/cmake_install.cmake" >/dev/null
  done
}
cmake -S "$work/src" -B "$b" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DBRM_BUILD_TESTS=OFF >/dev/null
build
sed -i 's|^\[HKEY|; fresh-policy\r\n[HKEY|' "$work/src/policy/DisableActivityLog-64bit-Windows.reg"
sed -i 's|^</assembly>|<!-- fresh-manifest --></assembly>|' "$work/src/module/BRMSUPP.manifest"
echo 'STRINGTABLE { 999, "fresh-dialog" }' >>"$work/src/language/modules/SoftwareUpdatesDialog.rci"
echo '/* fresh-sample */' >>"$work/src/examples/BindAtRunTime.c"
build
grep -qa fresh-manifest "$b/module/CMakeFiles/BRMSUPP.dir/BRMSUPP.rc.res" || { echo "stale manifest"; exit 1; }
grep -q fresh-sample "$kit/examples/BindAtRunTime.c" || { echo "kit: stale sample"; exit 1; }
for where in "$b/bin" "$kit"; do
  grep -q fresh-policy "$where/policy/DisableActivityLog-64bit-Windows.reg" || { echo "$where: stale policy"; exit 1; }
  for code in uk us nl; do
    strings -el "$where/$code/BRMSUPP.DLL" | grep -q fresh-dialog || { echo "$where: stale $code"; exit 1; }
  done
done
echo "fresh after an incremental build: policy, manifest, shared dialog and sample in bin/ and the kit"
