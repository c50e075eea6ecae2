#!/usr/bin/env bash
# Runs scripts/setup on stand-in machines (a folder of commands first on PATH describes one
# kind of machine) and checks what it installs and registers, its last line and its exit
# status. Changes nothing on this machine and needs no root.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0 passed=0 machines=0

# One stand-in for every command set-up asks of the machine; $M is the machine's folder.
cat > "$scratch/stand-in" <<'STANDIN'
#!/usr/bin/env bash
M=${0%/bin/*} me=$(basename "$0")
echo "$me $*" >> "$M/calls"
case $me in
dpkg) case $1 in
  --print-foreign-architectures) cat "$M/arch" ;;
  --add-architecture) echo "$2" >> "$M/arch" ;;
  *) exec /usr/bin/dpkg "$@" ;; esac ;;
dpkg-query) shift 2; status=0  # all installed but those in missing; qemu as listed in dpkg; pkgconf
  for p; do                      # named with its architecture, as a Multi-Arch "same" package is
    v=$(awk -v p="$p" '$1 == p { v = $2 } END { print v }' "$M/dpkg")
    [[ -z $v && $p != qemu-user-static ]] && ! grep -qx "$p" "$M/missing" && v=1.0
    if [[ -n $v ]]; then echo "${p/%pkgconf/pkgconf:amd64} $v ii "; else echo "dpkg-query: no packages found matching $p" >&2; status=1; fi
  done; exit $status ;;
apt-get) [[ -e $M/offline ]] && { echo "E: Failed to fetch (no registry)" >&2; exit 100; }
  suite=main; [[ $* == *"-t "* ]] && suite=backports
  [[ $2 == update && -e $M/sources/backports.sources ]] && touch "$M/backports-listed"
  [[ $suite == main || -e $M/backports-listed ]] || { echo "E: no such release: backports" >&2; exit 100; }
  [[ $2 == install ]] && for p in "${@:5}"; do
    [[ $p == -t || $p == *-backports ]] && continue
    v=1.0; [[ $p == qemu-user-static ]] && v=$(cat "$M/qemu-$suite") && touch "$M/qemu-i386-static"
    echo "$p $v" >> "$M/dpkg"; sed -i "/^$p\$/d" "$M/missing"
  done; exit 0 ;;
apt-cache) echo "  Candidate: $(cat "$M/qemu-main")" ;;
id) cat "$M/uid" ;;
sudo) [[ -e $M/sudo ]] || exit 1; [[ $1 == -n ]] || exec "$@" ;;
mount) [[ ! -e $M/unmountable ]] && touch "$M/binfmt/register" ;;
tee) case ${@: -1} in  # binfmt_misc as the kernel keeps it
  */binfmt/register) line=$(cat); [[ -e $M/refused || -e $M/binfmt/qemu-i386 ]] && exit 1
    echo "$line" >> "$M/registered"; p=${line%:F}; printf 'enabled\ninterpreter %s\nflags: F\n' "${p##*:}" > "$M/binfmt/qemu-i386" ;;
  */binfmt/qemu-i386) [[ $(cat) == -1 ]] && rm "$M/binfmt/qemu-i386" ;;
  *) exec /usr/bin/tee "$@" ;; esac ;;
probe32) [[ -e $M/native || $(head -1 "$M/binfmt/qemu-i386" 2>/dev/null) == enabled ]] && exit 42; exit 126 ;;
wine) [[ $1 == *32.exe ]] && echo "32-bit (WOW64)" || echo "64-bit" ;;
cmake) for a; do [[ ${b-} == -B ]] && mkdir -p "$a"; b=$a; done ;;   # builds nothing
ctest) [[ -e $M/failing32 && $* == *build/win32* ]] && { echo "96% tests passed, 1 tests failed out of 27"; exit 8; }
  echo "100% tests passed, 0 tests failed out of 27" ;;
xvfb-run) shift 3; exec "$@" ;;
fuzz_logic) [[ ! -e $M/fuzzfault ]] ;;   # its $M is the fuzz build folder
*-gcc) touch "$3" ;;
esac
STANDIN
chmod +x "$scratch/stand-in"

# machine NAME WORD...: every package installed, i386 added, root, binfmt_misc mounted, no
# qemu, the suite's qemu 7.2 and backports' 10; each word changes one fact.
machine() {
  M=$scratch/$1; shift
  mkdir -p "$M/bin" "$M/binfmt" "$M/sources"
  for c in dpkg dpkg-query apt-get apt-cache id sudo mount tee probe32 wine wineserver \
    i686-w64-mingw32-gcc x86_64-w64-mingw32-gcc cmake ctest xvfb-run cppcheck clang-tidy; do
    ln -s "$scratch/stand-in" "$M/bin/$c"
  done
  mkdir -p "$M/build/fuzz/bin" && ln -s "$scratch/stand-in" "$M/build/fuzz/bin/fuzz_logic"
  echo i386 > "$M/arch"; echo 0 > "$M/uid"; touch "$M/dpkg" "$M/missing" "$M/binfmt/register"
  echo 1:7.2+dfsg-7 > "$M/qemu-main"; echo 1:10.0.2+ds-2~bpo12+1 > "$M/qemu-backports"; echo VERSION_CODENAME=bookworm > "$M/os-release"
  printf 'Types: deb\nURIs: http://mirror.invalid/debian\nSuites: bookworm bookworm-updates\n\n' > "$M/sources/debian.sources"
  for word; do case $word in
    native|offline|sudo|refused|unmountable|failing32) touch "$M/$word" ;;
    fuzzfault) touch "$M/build/fuzz/fuzzfault" ;;
    user) echo 1000 > "$M/uid" ;;
    no-i386) : > "$M/arch" ;;
    missing=*) echo "${word#*=}" >> "$M/missing" ;;
    qemu=*) echo "qemu-user-static ${word#*=}" >> "$M/dpkg"; touch "$M/qemu-i386-static" ;;
    main=*) echo "${word#*=}" > "$M/qemu-main" ;;
    unmounted) rm "$M/binfmt/register" ;;
    registered*) printf 'enabled\ninterpreter %s\nflags: F\n' "$M/qemu-i386-static" > "$M/binfmt/qemu-i386"
      [[ $word == registered ]] || touch -d '-1 hour' "$M/binfmt/qemu-i386" ;;
  esac; done
}
# run SCRIPT [ARG]: runs a project script on machine $M, keeping its output in $M/out.
run() {
  status=0; : > "$M/calls"
  PATH=$M/bin:$PATH HOME=$M XDG_CACHE_HOME=$M/cache BRM_BINFMT_DIR=$M/binfmt BRM_APT_SOURCES=$M/sources \
    BRM_OS_RELEASE=$M/os-release BRM_QEMU=$M/qemu-i386-static BRM_PROBE32=$M/bin/probe32 BRM_BUILD_DIR=$M/build \
    "$root/scripts/$1" "${@:2}" > "$M/out" 2>&1 </dev/null || status=$?
}
# check ROW STATUS LAST-LINE [lines=N | FILE:PATTERN (must match) | !FILE:PATTERN (must not)]...
check() {
  local row=$1 why=""
  [[ $status == "$2" ]] || why+=" exit $status, not $2;"
  [[ $(tail -1 "$M/out") =~ $3 ]] || why+=" last line does not match '$3';"
  for c in "${@:4}"; do
    local f=${c#!}; f=${f%%:*} found=0
    [[ $c == lines=* ]] && { [[ $(wc -l < "$M/out") == "${c#lines=}" ]] || why+=" not ${c#lines=} lines;"; continue; }
    grep -qE -- "${c#*:}" "$M/$f" 2>/dev/null && found=1
    [[ $c == !* && $found == 1 ]] && why+=" $f has '${c#*:}';"
    [[ $c != !* && $found == 0 ]] && why+=" $f lacks '${c#*:}';"
  done
  [[ -z $why ]] && { passed=$((passed + 1)); return; }
  failed=$((failed + 1)); printf 'FAIL %s:%s\n' "$row" "$why"; sed 's/^/    /' "$M/out"
}
ready='^setup: ready: 32-bit Linux programs run' same='^setup: ready, nothing to change: 32-bit Linux programs run'
qemu='under /.*/qemu-i386-static \(binfmt_misc\)'

# row LABEL "WORD..." STATUS LAST-LINE CHECK...: set-up on a new machine; again: once more on it.
row() { label=$1; machine $((++machines)) $2; run setup; check "$1" "${@:3}"; }
again() { run setup; check "$label, again" "$@"; }

row "kernel runs 32-bit programs" native 0 "$ready natively; checked that wine" '!calls:apt-get install' '!calls:^tee' '!registered:.'
again 0 "$same natively\$" lines=1 'calls:probe32' '!calls:apt-get'
row "refuses, the suite's qemu is new enough" main=1:8.2+dfsg-1 0 "$ready $qemu.*installed qemu-user-static 1:8.2" '!sources/backports.sources:.' \
  'calls:apt-get -q install -y --no-install-recommends qemu-user-static$' 'registered::qemu-i386:M::.*:/.*/qemu-i386-static:F$'
row "refuses, only backports has a new enough qemu" "" 0 "$ready $qemu; added bookworm-backports; installed qemu-user-static 1:10" \
  'sources/backports.sources:^Suites: bookworm-backports$' 'sources/backports.sources:^URIs: http://mirror.invalid/debian$' \
  'calls:-t bookworm-backports qemu-user-static' 'registered:qemu-i386-static:F$'
again 0 "$same $qemu" lines=1 '!calls:^tee'
row "an older qemu installed and registered" "qemu=1:7.2+dfsg-7 registered" 0 "$ready $qemu; removed a qemu-i386 entry.*installed qemu-user-static 1:10.*registered" \
  'calls:^tee .*binfmt/qemu-i386' 'calls:-t bookworm-backports' 'registered:qemu-i386-static:F$'
row "qemu upgraded after it was registered" "qemu=1:10.0.3 registered-before" 0 "$ready $qemu; removed a qemu-i386 entry.*; registered" '!calls:apt-get'
row "a kernel that needs none, behind a stranger's entry" "native registered" 0 "$ready natively; removed a qemu-i386 entry" '!calls:apt-get' '!registered:.'
row "binfmt_misc not mounted" "qemu=1:10.0.2 unmounted" 0 "$ready $qemu; mounted binfmt_misc; registered" 'calls:mount -t binfmt_misc' '!calls:apt-get'
row "a new machine" "no-i386 missing=wine32:i386 missing=cmake native" 0 "$ready natively; added the i386 architecture; installed 2 packages" \
  'calls:dpkg --add-architecture i386' 'calls:apt-get -q update' 'calls:install -y --no-install-recommends cmake wine32:i386$' '!missing:.'
machine $((++machines)) native   # the test's emulated pass, and the kernel given its programs back
run setup emulate
check "an emulated pass on a kernel that needs none" 0 "$ready $qemu for an emulated pass .*installed qemu-user-static 1:10" \
  'calls:-t bookworm-backports qemu-user-static' 'registered:qemu-i386-static:F$'
run setup
check "after the emulated pass" 0 "$ready natively;.* removed the qemu-i386 entry of an emulated pass\$" lines=1 '!binfmt/qemu-i386:.'
row "not root, no sudo" "user missing=cmake native" 1 '^setup: cannot install cmake: this needs root, or sudo without a password' '!calls:apt-get'
row "not root, everything in place" "user qemu=1:10.0.2 registered" 0 "$ready $qemu; checked that wine" '!calls:^(tee|sudo|apt)'
row "not root, sudo without a password" "user sudo missing=cmake native" 0 "$ready natively" 'calls:sudo apt-get -q install'
row "no registry reachable" "offline missing=cmake native" 1 '^setup: cannot install cmake: apt-get update failed .*mirror is reachable'
row "registration refused" "qemu=1:10.0.2 refused" 1 '^setup: registering qemu-i386 in .*/register was refused'
row "binfmt_misc cannot be mounted" "qemu=1:10.0.2 unmounted unmountable" 1 '^setup: the kernel refuses 32-bit Linux programs and binfmt_misc cannot be mounted'
machine $((++machines)) native failing32   # a failing 32-bit suite fails the run, whichever route
run test
check "scripts/test, the 32-bit suite failing" 1 '^win32 \(under qemu\): 96% tests passed, 1 tests failed' \
  'out:^win32 \(natively\): 96% .*, [0-9]+ s$' 'out:^win64 \(natively\): 100% ' '!binfmt/qemu-i386:.'
machine $((++machines)) native fuzzfault
run test
check "scripts/test, the fuzzer finding a fault" 1 "^test: the step .*scripts/fuzz.* failed" \
  'out:^fuzz_logic found a fault'
machine commands user missing=cmake native  # the README's commands stop with set-up's word, never silently
for script in test demo bench; do
  run "$script"; check "scripts/$script when set-up fails" 1 "^$script: the step .*scripts/setup.* failed" 'out:^setup: cannot install cmake'
done

echo "setup machines: $passed passed, $failed failed"
((failed == 0))
