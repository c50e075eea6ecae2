#!/usr/bin/python3
"""Checks the shipped 32-bit BRMSUPP.dll: exports, calling convention, version and manifest.
Usage: check_product.py BIN-FOLDER OBJDUMP"""
import re
import subprocess
import sys

import pefile

# What hosts bind to and push, fixed by the published header whatever the .def says.
ARGUMENT_BYTES = {1: 16, 2: 4, 7: 4, 9: 8, 10: 8, 11: 4}
VERSION = "11.3.1508.1001"
path = f"{sys.argv[1]}/BRMSUPP.dll"
pe = pefile.PE(path)
exports = pe.DIRECTORY_ENTRY_EXPORT
failures = []
if pe.FILE_HEADER.Machine != 0x14C:
    failures.append("machine is not i386")
ordinals = sorted(s.ordinal for s in exports.symbols)
if exports.struct.NumberOfNames != 0 or ordinals != sorted(ARGUMENT_BYTES):
    failures.append(f"exports {[(s.ordinal, s.name) for s in exports.symbols]}")
# Each export removes its own arguments (stdcall): its first return takes them off the stack.
for export in exports.symbols:
    start = pe.OPTIONAL_HEADER.ImageBase + export.address
    code = subprocess.run([sys.argv[2], "-d", f"--start-address={start}",
                           f"--stop-address={start + 4096}", path],
                          capture_output=True, text=True, check=True).stdout
    ret = re.search(r"\tret\s*(\$0x[0-9a-f]+)?", code)
    if not ret or ret.group(1) != f"${ARGUMENT_BYTES.get(export.ordinal, 0):#x}":
        failures.append(f"export {export.ordinal} returns with {ret and ret.group(0).strip()}")
fixed = pe.VS_FIXEDFILEINFO[0]
strings = {k.decode(): v.decode() for info in pe.FileInfo[0]
           for table in getattr(info, "StringTable", []) for k, v in table.entries.items()}
for name, high, low in (("FileVersion", fixed.FileVersionMS, fixed.FileVersionLS),
                        ("ProductVersion", fixed.ProductVersionMS, fixed.ProductVersionLS)):
    fixed_version = f"{high >> 16}.{high & 0xFFFF}.{low >> 16}.{low & 0xFFFF}"
    if (fixed_version, strings.get(name)) != (VERSION, VERSION):
        failures.append(f"{name}: fixed {fixed_version}, text {strings.get(name)!r}")
if strings.get("ProductName") != "BRAMOK":
    failures.append(f"ProductName {strings.get('ProductName')!r}")
manifests = {name.id: pe.get_data(name.directory.entries[0].data.struct.OffsetToData,
                                  name.directory.entries[0].data.struct.Size)
             for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries if kind.id == 24   # RT_MANIFEST
             for name in kind.directory.entries}
manifest = manifests.get(2, b"").decode("utf-8", "replace")
if list(manifests) != [2]:
    failures.append(f"manifest identifiers {list(manifests)}")
for part in ('level="asInvoker"', 'uiAccess="false"', ">true</dpiAware>"):
    if part not in manifest:
        failures.append(f"manifest lacks {part}")
for failure in failures:
    print("FAIL", path, failure)
print("product files checked:", f"{len(failures)} problems" if failures else "ok")
sys.exit(1 if failures else 0)
