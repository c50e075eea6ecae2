#!/usr/bin/python3
"""Each EXE=N makes N imports from BRMSUPP.dll, every one by ordinal, and each ordinal is the
header's for the function named by the program's own __imp_ symbol at that import slot."""
import re
import struct
import sys

import pefile


def slot_names(pe, data):
    """Import slot RVA: function name, from the COFF symbols the linker kept."""
    start, count = pe.FILE_HEADER.PointerToSymbolTable, pe.FILE_HEADER.NumberOfSymbols
    strings, names, i = start + 18 * count, {}, 0
    while i < count:
        short, value, section, _, _, aux = struct.unpack_from("<8sIhHBB", data, start + 18 * i)
        if short[:4] == b"\0\0\0\0":
            at = strings + struct.unpack("<I", short[4:])[0]
            short = data[at:data.index(b"\0", at)]
        match = re.fullmatch(rb"__imp__?(\w+?)(@\d+)?", short.rstrip(b"\0"))
        if match and section > 0:
            names[pe.sections[section - 1].VirtualAddress + value] = match.group(1).decode()
        i += 1 + aux
    return names


ordinals = {n: int(o) for n, o in re.findall(r"kOrdinal(\w+) = (\d+)", open(sys.argv[1]).read())}
failures = [] if len(ordinals) == 6 else [f"header ordinals {ordinals}"]
for argument in sys.argv[2:]:
    path, expected = argument.rsplit("=", 1)
    data = open(path, "rb").read()
    pe = pefile.PE(data=data)
    names = slot_names(pe, data)
    imports = [i for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])
               if entry.dll.lower() == b"brmsupp.dll" for i in entry.imports]
    if len(imports) != int(expected):
        failures.append(f"{path}: {len(imports)} imports from BRMSUPP.dll, not {expected}")
    for i in imports:
        name = names.get(i.address - pe.OPTIONAL_HEADER.ImageBase)
        if i.name is not None or name is None or i.ordinal != ordinals.get(name):
            failures.append(f"{path}: import {i.name or i.ordinal} for {name}")
for failure in failures:
    print("FAIL", failure)
sys.exit(1 if failures else 0)
