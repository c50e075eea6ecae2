#!/usr/bin/python3
"""Checks the shipped 32-bit BRMSUPP.dll (every language module gets each string from one
shared dialog file, or does not build).
Usage: check_product.py BIN-FOLDER OBJDUMP"""
import re
import subprocess
import sys

import pefile

# What hosts bind to and push, fixed by the published header whatever the .def says.
ARGUMENT_BYTES = {1: 16, 2: 4, 7: 4, 9: 8, 10: 8, 11: 4}
ORDINALS = sorted(ARGUMENT_BYTES)
VERSION = "11.3.1508.1001"
RT_MANIFEST = 24
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def check_module(path):
    pe = pefile.PE(path)
    check(pe.FILE_HEADER.Machine == 0x14C, f"{path}: machine is not i386")
    exports = pe.DIRECTORY_ENTRY_EXPORT
    ordinals = sorted(s.ordinal for s in exports.symbols)
    check(exports.struct.NumberOfNames == 0 and ordinals == ORDINALS,
          f"{path}: exports {[(s.ordinal, s.name) for s in exports.symbols]}")
    # Each export removes its own arguments (stdcall): its first return takes them off the stack.
    for export in exports.symbols:
        start = pe.OPTIONAL_HEADER.ImageBase + export.address
        code = subprocess.run([sys.argv[2], "-d", f"--start-address={start}",
                               f"--stop-address={start + 4096}", path],
                              capture_output=True, text=True, check=True).stdout
        ret = re.search(r"\tret\s*(\$0x[0-9a-f]+)?", code)
        check(ret and ret.group(1) == f"${ARGUMENT_BYTES[export.ordinal]:#x}",
              f"{path}: export {export.ordinal} returns with {ret and ret.group(0).strip()}")
    fixed = pe.VS_FIXEDFILEINFO[0]
    for high, low in ((fixed.FileVersionMS, fixed.FileVersionLS),
                      (fixed.ProductVersionMS, fixed.ProductVersionLS)):
        version = f"{high >> 16}.{high & 0xFFFF}.{low >> 16}.{low & 0xFFFF}"
        check(version == VERSION, f"{path}: fixed version {version}")
    strings = {k.decode(): v.decode() for info in pe.FileInfo[0]
               for table in getattr(info, "StringTable", []) for k, v in table.entries.items()}
    for key, value in (("ProductName", "BRAMOK"), ("FileVersion", VERSION),
                       ("ProductVersion", VERSION)):
        check(strings.get(key) == value, f"{path}: {key} {strings.get(key)!r}")
    manifests = {name.id: pe.get_data(name.directory.entries[0].data.struct.OffsetToData,
                                      name.directory.entries[0].data.struct.Size)
                 for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries if kind.id == RT_MANIFEST
                 for name in kind.directory.entries}
    check(list(manifests) == [2], f"{path}: manifest identifiers {list(manifests)}")
    manifest = manifests.get(2, b"").decode("utf-8", "replace")
    for part in ('level="asInvoker"', 'uiAccess="false"', ">true</dpiAware>"):
        check(part in manifest, f"{path}: manifest lacks {part}")


check_module(f"{sys.argv[1]}/BRMSUPP.dll")
for failure in failures:
    print("FAIL", failure)
print("product files checked:", f"{len(failures)} problems" if failures else "ok")
sys.exit(1 if failures else 0)
