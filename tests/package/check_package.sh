#!/usr/bin/env bash
# The installed folder and the zip hold exactly what ships, the module 32-bit.
set -euo pipefail
build=${1:?usage: check_package.sh BUILD}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
expected=$'BRMFW.dll\nBRMSUPP.dll\nREADME.md\nexamples/BindAtRunTime.c\nexamples/CMakeLists.txt
examples/LinkImportLibrary.c\ninclude/BRMSUPP.h\nlib/BRMSUPP.lib\nlib/libBRMSUPP.dll.a\nnl/BRMSUPP.DLL
policy/BRAMOK.admx\npolicy/DisableActivityLog-32bit-Windows.reg
policy/DisableActivityLog-64bit-Windows.reg\npolicy/en-US/BRAMOK.adml\nuk/BRMSUPP.DLL\nus/BRMSUPP.DLL'
cmake --install "$build" --prefix "$work/deploy" >/dev/null
installed=$(cd "$work/deploy" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[[ "$installed" == "$expected" ]] || { echo "installed: $installed"; exit 1; }
(cd "$build" && cpack -B "$work/pack" >/dev/null)
zip=$(ls "$work"/pack/BRMSUPP-*-win32.zip)
zipped=$(unzip -Z1 "$zip" | grep -v '/$' | LC_ALL=C sort)
[[ "$zipped" == "$expected" ]] || { echo "zipped: $zipped"; exit 1; }
unzip -p "$zip" BRMSUPP.dll > "$work/module.dll"
file_type=$(/usr/bin/python3 -c 'import pefile,sys; print(hex(pefile.PE(sys.argv[1]).FILE_HEADER.Machine))' "$work/module.dll")
[[ "$file_type" == 0x14c ]] || { echo "module machine $file_type"; exit 1; }
# The page's opening example is the sample host's own lines.
sed -n '/^```c$/,/^```$/p' "$work/deploy/README.md" | grep -v '^```' | grep -c . | grep -qx 5
sed -n '/^```c$/,/^```$/p' "$work/deploy/README.md" | grep -v '^```' |
  while IFS= read -r line; do grep -qF "$line" "$work/deploy/examples/BindAtRunTime.c"; done
echo "package: $(basename "$zip") holds $(echo "$zipped" | wc -l) files"
