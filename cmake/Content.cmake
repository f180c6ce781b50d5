# Content pipeline: generators register the files they write under their asset names,
# and the pack tool concatenates them into Assets.bin with its index AssetsOffsets.bin.
#
#   zorbulon_add_content(TARGET <custom target> ASSETS <name> <file> [<name> <file> ...])
#
# registers pairs of asset name and generated file, produced by <custom target>.
function(zorbulon_add_content)
  cmake_parse_arguments(ARG "" "TARGET" "ASSETS" ${ARGN})
  list(LENGTH ARG_ASSETS n)
  math(EXPR odd "${n} % 2")
  if(odd)
    message(FATAL_ERROR "zorbulon_add_content: ASSETS needs name/file pairs")
  endif()
  set_property(GLOBAL APPEND PROPERTY ZORBULON_CONTENT_ASSETS ${ARG_ASSETS})
  set_property(GLOBAL APPEND PROPERTY ZORBULON_CONTENT_TARGETS ${ARG_TARGET})
endfunction()

# Writes the manifest and the rule that builds the pack in the run directory.
function(zorbulon_add_pack)
  set(pack ${ZORBULON_RUN_DIR}/Assets.bin)
  set(index ${ZORBULON_RUN_DIR}/AssetsOffsets.bin)
  if(ZORBULON_PACK_DIR)
    add_custom_command(
      OUTPUT ${pack} ${index}
      COMMAND ${CMAKE_COMMAND} -E copy ${ZORBULON_PACK_DIR}/Assets.bin ${ZORBULON_PACK_DIR}/AssetsOffsets.bin
              ${ZORBULON_RUN_DIR}
      DEPENDS ${ZORBULON_PACK_DIR}/Assets.bin ${ZORBULON_PACK_DIR}/AssetsOffsets.bin
      COMMENT "Copying the pack from ${ZORBULON_PACK_DIR}"
      VERBATIM)
    add_custom_target(zorbulon_pack ALL DEPENDS ${pack} ${index})
    set_property(GLOBAL PROPERTY ZORBULON_PACK_FILE ${pack})
    return()
  endif()
  get_property(assets GLOBAL PROPERTY ZORBULON_CONTENT_ASSETS)
  get_property(targets GLOBAL PROPERTY ZORBULON_CONTENT_TARGETS)
  if(NOT assets OR NOT TARGET zorbulon_pack_tool)
    return()
  endif()
  set(manifest "")
  set(files "")
  list(LENGTH assets n)
  math(EXPR last "${n} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET assets ${i} name)
    list(GET assets ${j} file)
    string(APPEND manifest "${name}\t${file}\n")
    list(APPEND files ${file})
  endforeach()
  set(manifest_file ${CMAKE_BINARY_DIR}/content/manifest.tsv)
  file(GENERATE OUTPUT ${manifest_file} CONTENT "${manifest}")
  add_custom_command(
    OUTPUT ${pack} ${index}
    COMMAND zorbulon_pack_tool ${manifest_file} ${pack} ${index}
    DEPENDS zorbulon_pack_tool ${manifest_file} ${files} ${targets}
    COMMENT "Packing content into Assets.bin"
    VERBATIM)
  add_custom_target(zorbulon_pack ALL DEPENDS ${pack} ${index})
  add_dependencies(zorbulon_pack ${targets})
  set_property(GLOBAL PROPERTY ZORBULON_PACK_FILE ${pack})
endfunction()
