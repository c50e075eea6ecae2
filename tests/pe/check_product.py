#!/usr/bin/python3
"""Checks the 32-bit product files: BRMSUPP.dll and its language modules."""
import re
import sys

import capstone
import pefile

# ordinal: bytes of stdcall arguments, from the .def ("Name@bytes @ordinal NONAME")
EXPORTS = {int(o): int(b) for b, o in re.findall(r"@(\d+) @(\d+) NONAME", open(sys.argv[2]).read())}
VERSION = (11, 3, 1508, 1001)
RT_STRING, RT_DIALOG, RT_MANIFEST = 6, 5, 24
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def load(path):
    pe = pefile.PE(path)
    check(pe.FILE_HEADER.Machine == pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"],
          f"{path}: machine is not i386")
    found = {}   # {type id: {name id: [data bytes]}}
    directory = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in directory.entries if directory else []:
        for name in kind.directory.entries:
            for language in name.directory.entries:
                data = language.data.struct
                found.setdefault(kind.id, {}).setdefault(name.id, []).append(
                    pe.get_data(data.OffsetToData, data.Size))
    return pe, found


def returns_of(pe, rva):
    """Bytes popped by every return reachable from the function at rva, following jumps
    and branches; tail calls through pointers end a path."""
    disassembler = capstone.Cs(capstone.CS_ARCH_X86, capstone.CS_MODE_32)
    base = pe.OPTIONAL_HEADER.ImageBase
    pending, seen, popped = [base + rva], set(), set()
    while pending and len(seen) < 5000:
        address = pending.pop()
        while address not in seen:
            seen.add(address)
            ins = next(disassembler.disasm(pe.get_data(address - base, 16), address, 1), None)
            if ins is None:
                break
            if ins.mnemonic == "ret":
                popped.add(int(ins.op_str, 0) if ins.op_str else 0)
                break
            if ins.mnemonic.startswith("j"):
                if ins.op_str.startswith("0x"):
                    pending.append(int(ins.op_str, 16))
                if ins.mnemonic == "jmp":
                    break
            address += ins.size
    return popped


def check_module(path):
    pe, found = load(path)
    exports = pe.DIRECTORY_ENTRY_EXPORT
    name = pe.get_string_at_rva(exports.struct.Name)
    check(name == b"BRMSUPP.dll", f"{path}: export directory name {name!r}")
    check(sorted(s.ordinal for s in exports.symbols) == sorted(EXPORTS),
          f"{path}: ordinals {[s.ordinal for s in exports.symbols]}")
    for symbol in exports.symbols:
        check(symbol.name is None, f"{path}: ordinal {symbol.ordinal} has the name {symbol.name!r}")
        popped = returns_of(pe, symbol.address)
        check(popped == {EXPORTS.get(symbol.ordinal)},
              f"{path}: ordinal {symbol.ordinal} returns with ret {popped}")

    fixed = pe.VS_FIXEDFILEINFO[0]
    for label, high, low in (("file", fixed.FileVersionMS, fixed.FileVersionLS),
                             ("product", fixed.ProductVersionMS, fixed.ProductVersionLS)):
        version = (high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF)
        check(version == VERSION, f"{path}: {label} version {version}")
    strings = {k.decode(): v.decode() for info in pe.FileInfo[0]
               for table in getattr(info, "StringTable", []) for k, v in table.entries.items()}
    for key, value in (("ProductName", "BRAMOK"), ("FileVersion", "11.3.1508.1001"),
                       ("ProductVersion", "11.3.1508.1001")):
        check(strings.get(key) == value, f"{path}: {key} {strings.get(key)!r}")

    manifests = found.get(RT_MANIFEST, {})
    check(list(manifests) == [2], f"{path}: manifest identifiers {list(manifests)}")
    manifest = b"".join(manifests.get(2, [b""])).decode("utf-8", "replace")
    for part in ('level="asInvoker"', 'uiAccess="false"', "<dpiAware", ">true</dpiAware>"):
        check(part in manifest, f"{path}: manifest lacks {part}")
    check(RT_DIALOG not in found and RT_STRING not in found, f"{path}: carries dialogs or strings")


def string_of(blocks, identifier):
    """String identifier of a string table, or None."""
    data = blocks.get((identifier >> 4) + 1, [b""])[0]
    for index in range(identifier & 15):
        data = data[2 + 2 * int.from_bytes(data[:2], "little"):]
    return data[2:2 + 2 * int.from_bytes(data[:2], "little")].decode("utf-16-le") or None


def check_language(path):
    pe, found = load(path)
    check(pe.OPTIONAL_HEADER.AddressOfEntryPoint == 0, f"{path}: has an entry point")
    check(not getattr(pe, "DIRECTORY_ENTRY_IMPORT", None), f"{path}: imports code")
    check(109 in found.get(RT_DIALOG, {}), f"{path}: no dialog 109")
    for identifier in (4, 5, 42):
        check(string_of(found.get(RT_STRING, {}), identifier), f"{path}: no string {identifier}")


def main(folder):
    check_module(f"{folder}/BRMSUPP.dll")
    for code in ("uk", "us", "nl"):
        check_language(f"{folder}/{code}/BRMSUPP.DLL")
    for failure in failures:
        print("FAIL", failure)
    print("product files checked:", "ok" if not failures else f"{len(failures)} problems")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
