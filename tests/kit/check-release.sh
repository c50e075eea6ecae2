#!/usr/bin/env bash
# One source, one release: a clean build of a copy zips alike, dated by the last commit (or
# SOURCE_DATE_EPOCH), and signing keeps that.
set -euo pipefail
toolchain=${3:?usage: check-release.sh SOURCE BUILD TOOLCHAIN} src=$1 build=$2
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
trap 'echo "release: the step '\''$BASH_COMMAND'\'' failed (line $LINENO); output above" >&2' ERR
unset SOURCE_DATE_EPOCH
GIT_DIR=$(git -C "$src" rev-parse --absolute-git-dir) && export GIT_DIR   # the copy has no history
cd "$work"
fail() {
  echo "release: $*" >&2
  exit 1
}
pack() {   # BUILD NAME: the zips in NAME, unpacked together in NAME/kit
  (cd "$1" && cpack -B "$work/$2") >"$2.log" 2>&1 || fail "cpack: $(cat "$2.log")"
  for zip in "$2"/*.zip; do
    unzip -q "$zip" -d "$2/kit"
  done
}
dates() { TZ=UTC zipinfo -T "$1/*.zip" | awk '/^-/ { print $7 }' | sort -u; }

pack "$build" a
mkdir src && tar -C "$src" --exclude=./build --exclude=./.git -cf - . | tar -C src -xf -
b=rebuild type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
cmake -S src -B "$b" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE="$type" \
  -DBRM_BUILD_TESTS=OFF >/dev/null
cmake --build "$b" -j2 >/dev/null
pack "$b" b
diff -r a/kit b/kit
sums=$(cd a && sha256sum *.zip)   # the kit's and the symbols' (its PDB files too)
[[ $(wc -l <<<"$sums") == 2 ]] || fail "zips: $sums"
(cd b && sha256sum --check --quiet) <<<"$sums" || fail "the zips differ (above)"
! grep -rlF -e "$src" -e "$build" -e "$work" a/kit b/kit || fail "a build folder in the files above"
commit=$(git log -1 --format=%ct)   # zip rounds odd seconds up
stamp=$(date -u -d @$((commit + commit % 2)) +%Y%m%d.%H%M%S)
[[ $(dates b) == "$stamp" ]] || fail "zip dates: $(dates b), not $stamp"
SOURCE_DATE_EPOCH=1700000000 pack "$b" e
diff -r a/kit e/kit
[[ $(dates e) == 20231114.221320 ]] || fail "zip dates with SOURCE_DATE_EPOCH: $(dates e)"

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=BRAMOK test signer" \
  -keyout key.pem -out cert.pem 2>/dev/null
cmake "$b" -DBRM_SIGN_CERT="$work/cert.pem" -DBRM_SIGN_KEY="$work/key.pem" >/dev/null
pack "$b" s
signed=(BRMFW.dll BRMSUPP.dll nl/BRMSUPP.DLL uk/BRMSUPP.DLL us/BRMSUPP.DLL)
signatures=$(cd s/kit/signatures && find . -type f | LC_ALL=C sort)
[[ $signatures == $(printf './%s.sig\n' "${signed[@]}") ]] || fail "signatures: $signatures"
for f in "${signed[@]}"; do
  said=$(osslsigncode verify -CAfile cert.pem -in "s/kit/$f" 2>&1) || fail "$f: $said"
  osslsigncode attach-signature -sigin "s/kit/signatures/$f.sig" -CAfile cert.pem \
    -in "a/kit/$f" -out "a/kit/$f.signed" >/dev/null
  mv "a/kit/$f.signed" "a/kit/$f"
done
diff -r --exclude=signatures a/kit s/kit
cmake "$b" -DBRM_SIGN_KEY=/dev/null >/dev/null   # a key file that holds no key
(pack "$b" f) 2>/dev/null && fail "packaging went on with a key that cannot sign"
tr -s ' \n' ' ' <f.log | grep -q "signing $work/f/[^ ]*/BRMSUPP.dll failed" ||
  fail "packaging with a bad key, not stopped so: $(cat f.log)"

echo "release: two builds zip alike ($(cut -c1-16 <<<"$sums" | xargs)...), dated $stamp;" \
  "${#signed[@]} modules signed, their signatures rebuild them from unsigned files"
