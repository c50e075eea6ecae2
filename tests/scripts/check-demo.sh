#!/usr/bin/env bash
# scripts/demo as a newcomer runs it: what the host did, and this month's log beside an older one.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
export BRM_BUILD_DIR=${1:?usage: check-demo.sh BUILD-ROOT}
logs=$BRM_BUILD_DIR/demo/wineprefix/drive_c/ProgramData/BRAMOK/11.3
mkdir -p "$logs"
touch -d 2015-02-01 "$logs/1234567890_201502.inf"
out=$("$root/scripts/demo" 2>&1) || {
  echo "$out"
  exit 1
}
failed=0
# expect WHAT PATTERN: a line of the demo's output matches the pattern
expect() {
  grep -qE -- "$2" <<<"$out" && return
  echo "demo: $1: no line matches '$2'"
  failed=1
}
expect "the language chosen" '^Language chosen .*: (uk|us|nl)$'
expect "its module as the resource handle" '^  state resource=(uk|us|nl).BRMSUPP.DLL wait=0 loaded='
expect "the version date" '^  version 5 2015$'
expect "the page opened" '^  the browser was started as: ".*" http://www.voranda.com/bramok/$'
expect "the dialog's OK" '^  updates 1 resource=BramokHost.exe$'
expect "the settings it saved" '^    BramokUpload=true$'
expect "this month's log" "^Activity log for this month: .*_$(date +%Y%m)\.inf$"
((failed == 0)) || {
  echo "$out"
  exit 1
}
echo "demo: the language, the host's commands and this month's log as the README shows them"
