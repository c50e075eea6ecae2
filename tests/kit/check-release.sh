#!/usr/bin/env bash
# One source gives one release: a clean build of a copy elsewhere, later, zips alike byte for byte
# (the kit and the symbols, the PDB files in it too),
# names no build folder, dates entries by the last commit or SOURCE_DATE_EPOCH; signed modules
# verify, their detached signatures rebuild them from unsigned files; a bad key stops packaging.
# Then in the copy a policy template, the module's manifest, the dialog all language modules share
# and a kit sample, changed, reach bin/ and the installed kit (what cpack zips) on the next
# incremental build.
set -euo pipefail
src=${1:?usage: check-release.sh SOURCE BUILD TOOLCHAIN} build=${2:?no BUILD} toolchain=${3:?no TOOLCHAIN}
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
trap 'echo "release: the step '\''$BASH_COMMAND'\'' failed (line $LINENO); its output is above" >&2' ERR
unset SOURCE_DATE_EPOCH
# The copy has no history of its own: its commit date comes from the tree's.
GIT_DIR=$(git -C "$src" rev-parse --absolute-git-dir) && export GIT_DIR
pack() {   # build folder, name: the zips in $work/name, unpacked together in $work/name/kit
  rm -rf "${work:?}/$2"
  (cd "$1" && cpack -B "$work/$2") >"$work/$2.log" 2>&1 || { cat "$work/$2.log"; return 1; }
  mkdir "$work/$2/kit"
  for zip in "$work/$2"/*.zip; do
    unzip -q "$zip" -d "$work/$2/kit"
  done
}
dates() {
  for zip in "$work/$1"/*.zip; do
    TZ=UTC zipinfo -T "$zip"
  done | awk '/^-/ { print $7 }' | sort -u
}
same() { diff -r "${@:3}" "$work/$1/kit" "$work/$2/kit" || { echo "$1 and $2 differ (above)"; exit 1; }; }

pack "$build" a
mkdir "$work/src" && tar -C "$src" --exclude=./build --exclude=./.git -cf - . | tar -C "$work/src" -xf -
b=$work/rebuild type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
cmake -S "$work/src" -B "$b" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE="$type" -DBRM_BUILD_TESTS=OFF >/dev/null
cmake --build "$b" -j2 >/dev/null
pack "$b" b
same a b
zips=$(cd "$work/a" && echo *.zip)
[[ $(wc -w <<<"$zips") == 2 ]] || { echo "zips: $zips"; exit 1; }
for zip in $zips; do
  cmp "$work/a/$zip" "$work/b/$zip"
done
! grep -rlF -e "$src" -e "$build" -e "$work" "$work/a/kit" "$work/b/kit" || { echo "a build folder in the files above"; exit 1; }
commit=$(git log -1 --format=%ct)   # zip rounds odd seconds up
[[ $(dates b) == $(date -u -d @$((commit + commit % 2)) +%Y%m%d.%H%M%S) ]] || { echo "zip dates: $(dates b)"; exit 1; }
SOURCE_DATE_EPOCH=1700000000 pack "$b" e
same a e
[[ $(dates e) == 20231114.221320 ]] || { echo "zip dates with SOURCE_DATE_EPOCH: $(dates e)"; exit 1; }

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=BRAMOK test signer" \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
cmake "$b" -DBRM_SIGN_CERT="$work/cert.pem" -DBRM_SIGN_KEY="$work/key.pem" >/dev/null
pack "$b" s
signed=(BRMFW.dll BRMSUPP.dll nl/BRMSUPP.DLL uk/BRMSUPP.DLL us/BRMSUPP.DLL)
[[ $(cd "$work/s/kit/signatures" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) == $(printf '%s.sig\n' "${signed[@]}") ]] ||
  { echo "signatures: $(ls -R "$work/s/kit/signatures")"; exit 1; }
for f in "${signed[@]}"; do
  osslsigncode verify -CAfile "$work/cert.pem" -in "$work/s/kit/$f" >"$work/verify" 2>&1 || { cat "$work/verify"; exit 1; }
  osslsigncode attach-signature -sigin "$work/s/kit/signatures/$f.sig" -CAfile "$work/cert.pem" \
    -in "$work/a/kit/$f" -out "$work/a/kit/$f.signed" >/dev/null
  mv "$work/a/kit/$f.signed" "$work/a/kit/$f"
done
same a s --exclude=signatures
echo "not a key" >"$work/bad.pem"
cmake "$b" -DBRM_SIGN_KEY="$work/bad.pem" >/dev/null
! pack "$b" f >/dev/null || { echo "packaging went on with a key that cannot sign"; exit 1; }
tr -s ' \n' ' ' <"$work/f.log" | grep -q "signing $work/f/[^ ]*/BRMSUPP.dll failed" || { cat "$work/f.log"; exit 1; }

cmake "$b" -DBRM_SIGN_CERT= -DBRM_SIGN_KEY= >/dev/null
kit=$work/kit
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
install
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
echo "release: two builds zip alike ($(cd "$work/a" && sha256sum *.zip | cut -c1-16 | xargs)...)," \
  "dated $(dates b);" \
  "${#signed[@]} modules signed, their signatures rebuild them from unsigned files;" \
  "an incremental build takes changed files into bin/ and the kit"
