# Run by install (component "symbols"): copies the PDB that BRM_MODULE's debug record names to
# <name>.pdb/<GUID><age>/<name>.pdb, where a debugger's symbol path (srv*FOLDER) looks for it:
# the GUID's fields as hexadecimal numbers, its last eight bytes one by one, then the age.
execute_process(COMMAND "${BRM_LLVM_READOBJ}" --coff-debug-directory "${BRM_MODULE}"
  OUTPUT_VARIABLE record ERROR_VARIABLE error RESULT_VARIABLE failed)
if(failed OR NOT record MATCHES "PDBGUID: \\(([0-9A-F ]+)\\)\n *PDBAge: ([0-9]+)\n *PDBFileName: ([^\n]+)")
  message(FATAL_ERROR "${BRM_MODULE} has no debug record naming a PDB ${error}; build it again")
endif()
set(name "${CMAKE_MATCH_3}")
string(REPLACE " " ";" bytes "${CMAKE_MATCH_1}")
list(GET bytes 3 2 1 0 5 4 7 6 8 9 10 11 12 13 14 15 bytes)
string(JOIN "" key ${bytes})
math(EXPR age "${CMAKE_MATCH_2}" OUTPUT_FORMAT HEXADECIMAL)
string(REPLACE "0x" "" age "${age}")
string(TOUPPER "${key}${age}" key)
get_filename_component(folder "${BRM_MODULE}" DIRECTORY)
file(INSTALL "${folder}/${name}" DESTINATION "${CMAKE_INSTALL_PREFIX}/${name}/${key}")
