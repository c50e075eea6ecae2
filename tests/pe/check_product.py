#!/usr/bin/python3
"""Checks the 32-bit product files: BRMSUPP.dll and its language modules.
Usage: check_product.py BIN-FOLDER OBJDUMP"""
import re
import subprocess
import sys

import pefile

# What hosts bind to and push, fixed by the published header whatever the .def says.
ARGUMENT_BYTES = {1: 16, 2: 4, 7: 4, 9: 8, 10: 8, 11: 4}
ORDINALS = sorted(ARGUMENT_BYTES)
VERSION = "11.3.1508.1001"
RT_STRING, RT_MANIFEST = 6, 24
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def load(path):
    """The file and its resources: {type id: {name id: data of the first language}}."""
    pe = pefile.PE(path)
    check(pe.FILE_HEADER.Machine == 0x14C, f"{path}: machine is not i386")
    found, directory = {}, getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in directory.entries if directory else []:
        for name in kind.directory.entries:
            data = name.directory.entries[0].data.struct
            found.setdefault(kind.id, {})[name.id] = pe.get_data(data.OffsetToData, data.Size)
    return pe, found


def check_module(path):
    pe, found = load(path)
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
    manifests = found.get(RT_MANIFEST, {})
    check(list(manifests) == [2], f"{path}: manifest identifiers {list(manifests)}")
    manifest = manifests.get(2, b"").decode("utf-8", "replace")
    for part in ('level="asInvoker"', 'uiAccess="false"', ">true</dpiAware>"):
        check(part in manifest, f"{path}: manifest lacks {part}")


def check_language(path):
    found = load(path)[1]
    for identifier in (4, 5, 42):
        # A string block holds 16 counted UTF-16 strings.
        data = found.get(RT_STRING, {}).get((identifier >> 4) + 1, b"")
        for _ in range(identifier & 15):
            data = data[2 + 2 * int.from_bytes(data[:2], "little"):]
        check(int.from_bytes(data[:2], "little") > 0, f"{path}: no string {identifier}")


check_module(f"{sys.argv[1]}/BRMSUPP.dll")
for code in ("uk", "us", "nl"):
    check_language(f"{sys.argv[1]}/{code}/BRMSUPP.DLL")
for failure in failures:
    print("FAIL", failure)
print("product files checked:", f"{len(failures)} problems" if failures else "ok")
sys.exit(1 if failures else 0)
