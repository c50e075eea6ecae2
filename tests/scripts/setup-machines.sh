#!/usr/bin/env bash
# Runs scripts/setup on stand-in machines (a folder of commands first on PATH describes one
# kind of machine) and checks what it would install and register, its last line and its
# exit status. Changes nothing on this machine and needs no root.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0 passed=0

# One stand-in for every command set-up asks of the machine; $M is the machine's folder.
cat > "$scratch/stand-in" <<'STANDIN'
#!/usr/bin/env bash
M=${0%/bin/*}
echo "$(basename "$0") $*" >> "$M/calls"
case $(basename "$0") in
dpkg)
  case $1 in
  --print-foreign-architectures) cat "$M/arch" 2>/dev/null ;;
  --add-architecture) echo "$2" >> "$M/arch" ;;
  *) exec /usr/bin/dpkg "$@" ;;
  esac ;;
dpkg-query)  # installed: every package but those in missing; qemu only as listed in dpkg
  shift 2; status=0
  for p; do
    v=$(awk -v p="$p" '$1 == p { print $2 }' "$M/dpkg")
    [[ -z $v && $p != qemu-user-static ]] && ! grep -qx "$p" "$M/missing" && v=1.0
    if [[ -n $v ]]; then echo "$p $v ii "; else echo "dpkg-query: no packages found matching $p" >&2; status=1; fi
  done
  exit $status ;;
apt-get)
  [[ -e $M/offline ]] && { echo "E: Failed to fetch (stand-in: no registry)" >&2; exit 100; }
  [[ $2 == install ]] || exit 0
  suite=main; [[ $* == *"-t "* ]] && suite=backports
  for p in "${@:5}"; do
    [[ $p == -t || $p == *-backports ]] && continue
    v=1.0; [[ $p == qemu-user-static ]] && v=$(cat "$M/qemu-$suite")
    sed -i "/^$p /d" "$M/dpkg"; echo "$p $v" >> "$M/dpkg"; sed -i "/^$p\$/d" "$M/missing"
  done ;;
apt-cache) echo "  Candidate: $(cat "$M/qemu-main")" ;;
id) cat "$M/uid" ;;
sudo) [[ -e $M/sudo ]] || exit 1; [[ $1 == -n ]] && exit 0; exec "$@" ;;
mount) [[ -e $M/unmountable ]] && exit 32; touch "$M/binfmt/register" ;;
tee)  # binfmt_misc as the kernel keeps it
  case ${@: -1} in
  */binfmt/register) line=$(cat); [[ -e $M/refused || -e $M/binfmt/qemu-i386 ]] && exit 1
    echo "$line" >> "$M/registered"; printf 'enabled\ninterpreter %s\n' "${line##*:/}" > "$M/binfmt/qemu-i386" ;;
  */binfmt/qemu-i386) [[ $(cat) == -1 ]] && rm "$M/binfmt/qemu-i386" ;;
  *) exec /usr/bin/tee "$@" ;;
  esac ;;
probe32) [[ -e $M/native || $(head -1 "$M/binfmt/qemu-i386" 2>/dev/null) == enabled ]] && exit 42; exit 126 ;;
wine) [[ $1 == *32.exe ]] && echo "32-bit (WOW64)" || echo "64-bit" ;;
*-gcc) touch "$3" ;;
esac
STANDIN
chmod +x "$scratch/stand-in"

# machine NAME WORD...: a fresh machine with every package installed, i386 added, root,
# binfmt_misc mounted and no qemu; each word changes one fact.
machine() {
  M=$scratch/$1; shift
  mkdir -p "$M/bin" "$M/binfmt" "$M/sources" "$M/cache"
  for c in dpkg dpkg-query apt-get apt-cache id sudo mount tee probe32 wine wineserver \
    i686-w64-mingw32-gcc x86_64-w64-mingw32-gcc; do ln -s "$scratch/stand-in" "$M/bin/$c"; done
  echo i386 > "$M/arch"; echo 0 > "$M/uid"; touch "$M/dpkg" "$M/missing" "$M/binfmt/register"
  echo 1:7.2+dfsg-7 > "$M/qemu-main"; echo 1:10.0.2+ds-2~bpo12+1 > "$M/qemu-backports"
  echo VERSION_CODENAME=bookworm > "$M/os-release"
  printf 'Types: deb\nURIs: http://mirror.invalid/debian\nSuites: bookworm bookworm-updates\n\n' > "$M/sources/debian.sources"
  for word; do
    case $word in
    native|offline|sudo|refused|unmountable) touch "$M/$word" ;;
    user) echo 1000 > "$M/uid" ;;
    no-i386) : > "$M/arch" ;;
    missing=*) echo "${word#*=}" >> "$M/missing" ;;
    qemu=*) echo "qemu-user-static ${word#*=}" >> "$M/dpkg" ;;
    main=*) echo "${word#*=}" > "$M/qemu-main" ;;
    unmounted) rm "$M/binfmt/register" ;;
    registered) printf 'enabled\ninterpreter /usr/bin/qemu-i386-static\n' > "$M/binfmt/qemu-i386" ;;
    esac
  done
}
# run COMMAND: runs a project script on machine $M; sets out and status.
run() {
  status=0; : > "$M/calls"
  out=$(PATH=$M/bin:$PATH HOME=$M XDG_CACHE_HOME=$M/cache BRM_BINFMT_DIR=$M/binfmt \
    BRM_APT_SOURCES=$M/sources BRM_OS_RELEASE=$M/os-release BRM_PROBE32=$M/bin/probe32 \
    BRM_BUILD_DIR=$M/build "$root/scripts/$1" 2>&1 </dev/null) || status=$?
  echo "$out" > "$M/out"
}
# check ROW WANT-STATUS LAST-LINE-PATTERN [FILE:PATTERN | !FILE:PATTERN]...
check() {
  local row=$1 want=$2 line=$3 why=""; shift 3
  [[ $status == "$want" ]] || why+=" exit $status, not $want;"
  [[ $(tail -1 <<<"$out") =~ $line ]] || why+=" last line does not match '$line';"
  for c; do
    local neg=${c%%!*} f=${c#!}; f=${f%%:*}
    if [[ -z $neg ]] && grep -qE -- "${c#*:}" "$M/$f" 2>/dev/null; then why+=" $f has '${c#*:}';"
    elif [[ -n $neg ]] && ! grep -qE -- "${c#*:}" "$M/$f" 2>/dev/null; then why+=" $f lacks '${c#*:}';"; fi
  done
  if [[ -z $why ]]; then passed=$((passed + 1))
  else failed=$((failed + 1)); printf 'FAIL %s:%s\n  output:\n%s\n' "$row" "$why" "$(sed 's/^/    /' <<<"$out")"; fi
}
ready='^setup: ready: 32-bit Linux programs run'
same='^setup: ready, nothing to change: 32-bit Linux programs run'
emulated='under /usr/bin/qemu-i386-static \(binfmt_misc\)'

machine native native; run setup
check "kernel runs 32-bit programs" 0 "$ready natively; checked that wine" '!calls:apt-get install' '!calls:tee' '!registered:.'
run setup; check "  again: nothing to change" 0 "$same natively\$" "calls:probe32" '!calls:apt-get'
[[ $(wc -l <<<"$out") == 1 ]] || check "  again: one line" 0 '^$'

machine suite main=1:8.2+dfsg-1; run setup
check "refuses, the suite's qemu is new enough" 0 "$ready $emulated.*installed qemu-user-static 1:8.2" \
  'calls:apt-get -q install -y --no-install-recommends qemu-user-static$' 'registered::qemu-i386:M::.*:/usr/bin/qemu-i386-static:F$' '!sources/backports.sources:.'
machine backports; run setup
check "refuses, only backports has a new enough qemu" 0 "$ready $emulated; added bookworm-backports; installed qemu-user-static 1:10" \
  'sources/backports.sources:^Suites: bookworm-backports$' 'sources/backports.sources:^URIs: http://mirror.invalid/debian$' \
  'calls:-t bookworm-backports qemu-user-static' 'registered:qemu-i386-static:F$'
run setup; check "  again: nothing to change" 0 "$same $emulated" '!calls:tee'
[[ $(wc -l <<<"$out") == 1 ]] || check "  again: one line" 0 '^$'

machine old qemu=1:7.2+dfsg-7 registered; run setup
check "an older qemu installed and registered" 0 "$ready $emulated; removed a qemu-i386 entry.*installed qemu-user-static 1:10.*registered" \
  'calls:tee .*binfmt/qemu-i386' 'calls:-t bookworm-backports' 'registered:qemu-i386-static:F$'
machine stranger native registered; run setup
check "a kernel that needs none, behind a stranger's entry" 0 "$ready natively; removed a qemu-i386 entry" '!calls:apt-get' '!registered:.'
machine unmounted qemu=1:10.0.2 unmounted; run setup
check "binfmt_misc not mounted" 0 "$ready $emulated; mounted binfmt_misc; registered" 'calls:mount -t binfmt_misc' '!calls:apt-get'
machine new-machine no-i386 missing=wine32:i386 missing=cmake native; run setup
check "a new machine" 0 "$ready natively; added the i386 architecture; installed 2 packages" 'calls:dpkg --add-architecture i386' \
  'calls:apt-get -q update' 'calls:install -y --no-install-recommends cmake wine32:i386$' '!missing:.'

machine user user missing=cmake native; run setup
check "not root, no sudo" 1 '^setup: cannot install cmake: this needs root, or sudo without a password' '!calls:apt-get'
machine sudo user sudo missing=cmake native; run setup
check "not root, sudo without a password" 0 "$ready natively" 'calls:sudo apt-get -q install'
machine offline offline missing=cmake native; run setup
check "no registry reachable" 1 '^setup: cannot install cmake: apt-get update failed .*mirror is reachable'
machine refused qemu=1:10.0.2 refused; run setup
check "registration refused" 1 '^setup: registering qemu-i386 in .*/register was refused'
machine unmountable qemu=1:10.0.2 unmounted unmountable; run setup
check "binfmt_misc cannot be mounted" 1 '^setup: the kernel refuses 32-bit Linux programs and binfmt_misc cannot be mounted'
# The README's commands stop with set-up's own word, never silently.
machine commands user missing=cmake native
for script in test demo bench; do
  run "$script"; check "scripts/$script when set-up fails" 1 "^$script: the step .*scripts/setup.* failed" \
    'out:^setup: cannot install cmake: this needs root'
done

echo "setup machines: $passed passed, $failed failed"
((failed == 0))
