# brm_pdb(target): the module's CodeView debug information in <name>.pdb beside it, for the
# debuggers and crash-dump services of Windows. The module's debug record names the PDB by file
# name alone, and lld takes the record's GUID from the PDB's content (age 1), so one source gives
# one pair of files wherever and whenever it is built. Install's component "symbols" (zipped on
# its own) lays the PDB out as a symbol store does: <name>.pdb/<GUID><age>/<name>.pdb.
find_program(BRM_LLVM_OBJCOPY NAMES llvm-objcopy-14 llvm-objcopy REQUIRED)
find_program(BRM_LLVM_READOBJ NAMES llvm-readobj-14 llvm-readobj REQUIRED)
function(brm_pdb target)
  get_target_property(output_dir ${target} RUNTIME_OUTPUT_DIRECTORY)
  # Relative to the folder the link runs in, since lld keeps its command line in the PDB.
  file(RELATIVE_PATH pdb ${CMAKE_CURRENT_BINARY_DIR} ${output_dir}/${target}.pdb)
  target_link_options(${target} PRIVATE "-Wl,--pdb=${pdb}" "-Wl,--Xlink=-pdbaltpath:%_PDB%"
    # Source and object files are named in the PDB below this, not below any build folder.
    "-Wl,--Xlink=-pdbsourcepath:C:/BRMSUPP")
  # Writing a PDB, lld also keeps the DWARF that gcc's run-time libraries carry: not shipped.
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${BRM_LLVM_OBJCOPY} --strip-debug $<TARGET_FILE:${target}> VERBATIM)
  install(CODE "
    set(BRM_MODULE [[$<TARGET_FILE:${target}>]])
    set(BRM_LLVM_READOBJ [[${BRM_LLVM_READOBJ}]])
    include([[${PROJECT_SOURCE_DIR}/kit/SymbolStore.cmake]])" COMPONENT symbols EXCLUDE_FROM_ALL)
endfunction()
