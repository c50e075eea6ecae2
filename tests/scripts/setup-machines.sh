#!/usr/bin/env bash
# scripts/setup on stand-in machines (commands first on PATH); changes nothing here, needs no root.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d) && trap 'rm -rf "$scratch"' EXIT
failed=0 passed=0
M=$scratch/machine bin=$scratch/build/fuzz/bin   # bin: the stand-ins, the fuzz build's target too
export M PATH=$bin:$PATH HOME=$M XDG_CACHE_HOME=$M/cache BRM_BINFMT_DIR=$M/binfmt \
  BRM_APT_SOURCES=$M BRM_OS_RELEASE=$M/os-release BRM_QEMU=$M/pkg/qemu-user-static \
  BRM_PROBE32=$bin/probe32 BRM_BUILD_DIR=$scratch/build

mkdir -p "$bin" && install -m 755 /dev/stdin "$scratch/stand-in" <<'STANDIN'
#!/usr/bin/env bash
echo "${0##*/} $*" >> "$M/calls"
case ${0##*/} in
dpkg)   # the machine's architectures; the rest as dpkg itself answers
  [[ $1 == --print-foreign-architectures ]] && exec cat "$M/arch"
  [[ $1 == --add-architecture ]] && echo "$2" >> "$M/arch" && exit
  exec /usr/bin/dpkg "$@" ;;
dpkg-query)   # at 1.0 unless pkg/ holds its version, or a blank: not installed
  status=0
  for p in "${@:3}"; do   # a Multi-Arch "same" package is named with its architecture
    v=$(cat "$M/pkg/$p" 2>/dev/null || echo 1.0)
    [[ -n $v ]] && echo "${p/%pkgconf/pkgconf:amd64} $v ii " || status=1
  done
  exit $status ;;
apt-get)   # the main suite, and backports once a source names it and the lists are updated
  suite=main
  [[ $5 == -t ]] && suite=backports
  [[ $2 == update && -e $M/backports.sources ]] && touch "$M/backports-listed"
  [[ -e $M/offline || $suite == backports && ! -e $M/backports-listed ]] && exit 100
  for p in "${@:5}"; do   # what install names (-t and its suite too, as if packages)
    rm -f "$M/pkg/$p"
    [[ $p != qemu-user-static ]] || cat "$M/qemu-$suite" > "$M/pkg/$p"
  done ;;
apt-cache) echo "  Candidate: $(cat "$M/qemu-main")" ;;
id) cat "$M/uid" ;;
mount) touch "$M/binfmt/register" ;;
sudo) exit 1 ;;   # no sudo without a password
tee)   # binfmt_misc as the kernel keeps it: a register line makes an entry, -1 removes one
  [[ ${@: -1} == */binfmt/* ]] || exec /usr/bin/tee "$@"
  line=$(cat)
  [[ $line == -1 ]] && exec rm "${@: -1}"
  [[ -e $M/refused || -e $M/binfmt/qemu-i386 ]] && exit 1
  echo "$line" >> "$M/calls"
  printf 'enabled\ninterpreter %s\n' "$(cut -d: -f7 <<<"$line")" > "$M/binfmt/qemu-i386" ;;
probe32) [[ -e $M/native || $(head -1 "$M/binfmt/qemu-i386") == enabled ]] 2>/dev/null && exit 42 ;;
wine) [[ $1 == *32.exe ]] && echo "32-bit (WOW64)" || echo "64-bit" ;;
cmake) [[ $3 != -B ]] || mkdir -p "$4" ;;   # builds nothing
ctest)   # on a machine with the word failing32 the 32-bit suite fails
  [[ -e $M/failing32 && $* == *build/win32* ]] && echo "96% tests passed, 1 tests failed" && exit 8
  echo "100% tests passed, 0 tests failed" ;;
xvfb-run) exec "${@:4}" ;;
fuzz_logic) [[ ! -e $M/fuzzfault ]] ;;
esac
STANDIN
for c in dpkg dpkg-query apt-get apt-cache id sudo mount tee probe32 wine wineserver cmake ctest \
  xvfb-run cppcheck clang-tidy i686-w64-mingw32-gcc x86_64-w64-mingw32-gcc fuzz_logic; do
  ln -s "$scratch/stand-in" "$bin/$c"
done

# row LABEL WORDS STATUS LAST-LINE CHECK...: scripts/$script (setup) on a new machine (root, all
# but qemu: 7.2 in the suite, 10 in backports); a word a fact (FILE=TEXT, pkg/NAME= missing,
# qemu=VERSION, registered, a flag) or "again". CHECK: [!]FILE:PATTERN in out, lines or calls.
row() {
  local why="" status=0 c f found
  if [[ $2 != again ]]; then
    label=$1
    rm -rf "$M" && mkdir -p "$M/binfmt" "$M/pkg"
    for word in arch=i386 uid=0 qemu-main=1:7.2+dfsg-7 qemu-backports=1:10.0.2+ds-2~bpo12+1 \
      'debian.sources=Types: deb\nURIs: http://deb.invalid\nSuites: bookworm bookworm-updates\n' \
      os-release=VERSION_CODENAME=bookworm pkg/qemu-user-static= binfmt/register $2; do
      case $word in
      qemu=*) echo "${word#*=}" > "$M/pkg/qemu-user-static" ;;
      *=*) printf '%b\n' "${word#*=}" > "$M/${word%%=*}" ;;
      unmounted) rm "$M/binfmt/register" ;;
      registered) echo ":qemu-i386:M::ELF::$BRM_QEMU:F" | "$bin/tee" "$M/binfmt/register" ;;
      *) touch "$M/$word" ;;
      esac
    done
  fi
  : > "$M/calls"
  "$root/scripts/"${script:-setup} > "$M/out" 2>&1 </dev/null || status=$?
  wc -l < "$M/out" > "$M/lines"
  [[ $status == "$3" ]] || why+=" exit $status, not $3;"
  [[ $(tail -1 "$M/out") =~ $4 ]] || why+=" last line does not match '$4';"
  for c in "${@:5}"; do
    f=${c%%:*}
    found=has
    grep -qsE -- "${c#*:}" "$M/${f#!}" || found=lacks
    [[ $f$found == !*has || $f$found == [^!]*lacks ]] && why+=" ${f#!} $found '${c#*:}';"
  done
  [[ -z $why ]] && passed=$((passed + 1)) && return
  failed=$((failed + 1))
  printf 'FAIL %s:%s\n%s\n' "$1" "$why" "$(sed 's/^/    /' "$M/out")"
}
ready='^setup: ready: 32-bit Linux programs run'
same='^setup: ready, nothing to change: 32-bit Linux programs run'
qemu='under /.*/qemu-user-static \(binfmt_misc\)'
backports='calls:-t bookworm-backports qemu-user-static'
registered='calls:^:qemu-i386:M::.*:/.*/qemu-user-static:F$'
new=qemu=1:10.0.2 no_cmake="pkg/cmake= native"   # a new enough qemu; cmake missing

row "kernel runs 32-bit programs" native 0 "$ready natively; checked that wine" \
  '!calls:apt-get install' '!calls:^tee' '!calls:^:qemu-i386'
row "$label, again" again 0 "$same natively\$" 'lines:^1$' 'calls:probe32' '!calls:apt-get'
row "refuses, the suite's qemu is new enough" qemu-main=1:8.2+dfsg-1 0 \
  "$ready $qemu.*installed qemu-user-static 1:8.2" '!backports.sources:.' \
  'calls:apt-get -q install -y --no-install-recommends qemu-user-static$' "$registered"
row "refuses, only backports has a new enough qemu" "" 0 \
  "$ready $qemu; added bookworm-backports; installed qemu-user-static 1:10" "$backports" \
  'backports.sources:^Suites: bookworm-backports$' 'backports.sources:^URIs: http://deb.invalid$' \
  "$registered"
row "$label, again" again 0 "$same $qemu" 'lines:^1$' '!calls:^tee'
row "an older qemu installed and registered" "qemu=1:7.2+dfsg-7 registered" 0 \
  "$ready $qemu; removed a qemu-i386 entry.*installed qemu-user-static 1:10.*registered" \
  'calls:^tee .*binfmt/qemu-i386' "$backports" "$registered"
row "binfmt_misc not mounted" "$new unmounted" 0 "$ready $qemu; mounted binfmt_misc; registered" \
  'calls:mount -t binfmt_misc' '!calls:apt-get'
row "a new machine" "arch= pkg/wine32:i386= pkg/fonts-wine= $no_cmake" 0 \
  "$ready natively; added the i386 architecture; installed 3 packages" 'calls:apt-get -q update' \
  'calls:dpkg --add-architecture i386' 'calls:-recommends cmake wine32:i386 fonts-wine$'
script="setup emulate" row "an emulated pass on a kernel that needs none" native 0 \
  "$ready $qemu for an emulated pass .*installed qemu-user-static 1:10" "$backports" "$registered"
row "$label, again" again 0 "$ready natively;.* removed the qemu-i386 entry of an emulated pass\$" \
  'lines:^1$' '!binfmt/qemu-i386:.'
row "not root, no sudo" "uid=1000 $no_cmake" 1 \
  '^setup: cannot install cmake: this needs root, or sudo without a password' '!calls:apt-get'
row "no registry reachable" "offline $no_cmake" 1 \
  '^setup: cannot install cmake: apt-get update failed .*mirror is reachable'
row "registration refused" "$new refused" 1 \
  '^setup: registering qemu-i386 in .*/register was refused'
script="test" row "scripts/test, the 32-bit suite failing" "native failing32" 1 \
  '^win32 \(under qemu\): 96% tests passed, 1 tests failed' '!binfmt/qemu-i386:.' \
  'out:^win32 \(natively\): 96% .*, [0-9]+ s$' 'out:^win64 \(natively\): 100% '
script="test" row "scripts/test, the fuzzer finding a fault" "native fuzzfault" 1 \
  "^test: the step .*scripts/fuzz.* failed" 'out:^fuzz_logic found a fault'
for command in test demo bench; do   # the README's commands stop with set-up's word
  script=$command row "scripts/$command when set-up fails" "uid=1000 $no_cmake" 1 \
    "^$command: the step .*scripts/setup.* failed" 'out:^setup: cannot install cmake'
done

echo "setup machines: $passed passed, $failed failed"
((failed == 0))
