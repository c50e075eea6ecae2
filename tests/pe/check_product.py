#!/usr/bin/python3
"""Checks the 32-bit product files: BRMSUPP.dll and its language modules."""
import sys

import capstone
import pefile

EXPECTED_EXPORTS = {1: 16, 2: 4, 7: 4, 9: 8, 10: 8, 11: 4}   # ordinal: bytes of arguments
VERSION = (11, 3, 1508, 1001)
RT_STRING, RT_DIALOG, RT_MANIFEST = 6, 5, 24

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def resources(pe):
    """{type id: {name id: [data bytes]}}"""
    found = {}
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return found
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        names = found.setdefault(kind.id, {})
        for name in kind.directory.entries:
            for language in name.directory.entries:
                data = language.data.struct
                names.setdefault(name.id, []).append(
                    pe.get_data(data.OffsetToData, data.Size))
    return found


def returns_of(pe, rva):
    """Bytes popped by every return reachable from the function at rva,
    following jumps and branches; tail calls through pointers end a path."""
    disassembler = capstone.Cs(capstone.CS_ARCH_X86, capstone.CS_MODE_32)
    base = pe.OPTIONAL_HEADER.ImageBase
    pending, seen, popped = [base + rva], set(), set()
    while pending and len(seen) < 5000:
        address = pending.pop()
        while address not in seen:
            seen.add(address)
            code = pe.get_data(address - base, 16)
            instruction = next(disassembler.disasm(code, address, 1), None)
            if instruction is None:
                break
            mnemonic, operand = instruction.mnemonic, instruction.op_str
            if mnemonic == "ret":
                popped.add(int(operand, 0) if operand else 0)
                break
            if mnemonic.startswith("j"):
                if operand.startswith("0x"):
                    pending.append(int(operand, 16))
                if mnemonic == "jmp":
                    break
            address += instruction.size
    return popped


def check_module(path):
    pe = pefile.PE(path)
    check(pe.FILE_HEADER.Machine == pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"],
          f"{path}: machine is not i386")
    exports = pe.DIRECTORY_ENTRY_EXPORT
    check(pe.get_string_at_rva(exports.struct.Name) == b"BRMSUPP.dll",
          f"{path}: export directory name {pe.get_string_at_rva(exports.struct.Name)!r}")
    ordinals = {symbol.ordinal: symbol for symbol in exports.symbols}
    check(set(ordinals) == set(EXPECTED_EXPORTS), f"{path}: ordinals {sorted(ordinals)}")
    for ordinal, symbol in ordinals.items():
        check(symbol.name is None, f"{path}: ordinal {ordinal} has the name {symbol.name!r}")
        if ordinal in EXPECTED_EXPORTS:
            popped = returns_of(pe, symbol.address)
            check(popped == {EXPECTED_EXPORTS[ordinal]},
                  f"{path}: ordinal {ordinal} returns with ret {popped}, "
                  f"stdcall needs {EXPECTED_EXPORTS[ordinal]}")

    fixed = pe.VS_FIXEDFILEINFO[0]
    file_version = (fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xFFFF,
                    fixed.FileVersionLS >> 16, fixed.FileVersionLS & 0xFFFF)
    product_version = (fixed.ProductVersionMS >> 16, fixed.ProductVersionMS & 0xFFFF,
                       fixed.ProductVersionLS >> 16, fixed.ProductVersionLS & 0xFFFF)
    check(file_version == VERSION, f"{path}: file version {file_version}")
    check(product_version == VERSION, f"{path}: product version {product_version}")
    strings = {}
    for info in pe.FileInfo[0]:
        for table in getattr(info, "StringTable", []):
            strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
    check(strings.get("ProductName") == "BRAMOK", f"{path}: product name {strings.get('ProductName')}")
    check(strings.get("FileVersion") == "11.3.1508.1001", f"{path}: file version text")

    found = resources(pe)
    manifests = found.get(RT_MANIFEST, {})
    check(list(manifests) == [2], f"{path}: manifest identifiers {list(manifests)}")
    manifest = b"".join(manifests.get(2, [b""])).decode("utf-8", "replace")
    check('level="asInvoker"' in manifest and 'uiAccess="false"' in manifest,
          f"{path}: manifest execution level")
    check("<dpiAware" in manifest and ">true</dpiAware>" in manifest, f"{path}: manifest DPI awareness")
    check(RT_DIALOG not in found and RT_STRING not in found,
          f"{path}: carries dialogs or strings")


def string_of(pe, blocks, identifier):
    block = blocks.get((identifier >> 4) + 1)
    if not block:
        return None
    data = block[0]
    offset = 0
    for index in range(16):
        length = int.from_bytes(data[offset:offset + 2], "little")
        text = data[offset + 2:offset + 2 + 2 * length].decode("utf-16-le")
        if index == identifier & 15:
            return text
        offset += 2 + 2 * length
    return None


def check_language(path):
    pe = pefile.PE(path)
    check(pe.FILE_HEADER.Machine == pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"],
          f"{path}: machine is not i386")
    check(pe.OPTIONAL_HEADER.AddressOfEntryPoint == 0, f"{path}: has an entry point")
    check(not getattr(pe, "DIRECTORY_ENTRY_IMPORT", None), f"{path}: imports code")
    found = resources(pe)
    check(109 in found.get(RT_DIALOG, {}), f"{path}: no dialog 109")
    for identifier in (4, 5, 42):
        text = string_of(pe, found.get(RT_STRING, {}), identifier)
        check(bool(text), f"{path}: no string {identifier}")


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
