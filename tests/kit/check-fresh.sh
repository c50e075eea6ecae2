#!/usr/bin/env bash
# In a scratch copy of the tree, a policy template, the module's manifest, the dialog all language
# modules share and a kit sample, changed after a first build, reach bin/ and the installed kit
# (what cpack zips) on the next incremental one.
set -euo pipefail
src=${1:?usage: check-fresh.sh SOURCE TOOLCHAIN} toolchain=${2:?no TOOLCHAIN}
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT && b=$work/b kit=$work/kit && mkdir "$work/src"
tar -C "$src" --exclude=./build --exclude=./.git -cf - . | tar -C "$work/src" -xf -
compile() {   # the language modules and the module's resources
  cmake --build "$b" --target language_uk language_us language_nl >/dev/null
  make -s -C "$b/module" BRMSUPP.rc.res >/dev/null
}
install() {   # the kit's files from the tree
  for d in kit policy language/modules; do
    cmake -DCMAKE_INSTALL_PREFIX="$kit" -DCMAKE_INSTALL_LOCAL_ONLY=1 -P "$b/$d/cmake_install.cmake"
  done >/dev/null
}
fresh() {   # each file holds the new text, in ANSI or UTF-16
  for f in "${@:2}"; do
    { cat "$f"; strings -el "$f"; } | grep -a "fresh-$1" >/dev/null || { echo "stale: $f"; exit 1; }
  done
}
cmake -S "$work/src" -B "$b" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DBRM_BUILD_TESTS=OFF >/dev/null
compile && install
sed -i 's|^\[HKEY|; fresh-policy\r\n[HKEY|' "$work/src/policy/DisableActivityLog-64bit-Windows.reg"
sed -i 's|^</assembly>|<!-- fresh-manifest --></assembly>|' "$work/src/module/BRMSUPP.manifest"
echo 'STRINGTABLE { 999, "fresh-dialog" }' >>"$work/src/language/modules/SoftwareUpdatesDialog.rci"
echo '/* fresh-sample */' >>"$work/src/examples/BindAtRunTime.c"
compile
# The kit's copies dated like the rebuilt files, as when the rebuild falls within a second of them.
for f in "$b"/bin/{uk,us,nl}/BRMSUPP.DLL "$b"/bin/policy/*; do touch -r "$f" "$kit/${f#"$b"/bin/}"; done
install
fresh manifest "$b/module/CMakeFiles/BRMSUPP.dir/BRMSUPP.rc.res"
fresh sample "$kit/examples/BindAtRunTime.c"
fresh policy {"$b/bin","$kit"}/policy/DisableActivityLog-64bit-Windows.reg
fresh dialog {"$b/bin","$kit"}/{uk,us,nl}/BRMSUPP.DLL
echo "fresh after an incremental build: policy, manifest, shared dialog and sample in bin/ and kit"
