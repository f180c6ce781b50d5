# The contact sheet tool run where there is no pack at all: every texture becomes a placeholder,
# each is reported, and the sheet is still written. Included by tests/CMakeLists.txt, this file
# adds the test; run with -P, it is the test.
if(NOT CMAKE_SCRIPT_MODE_FILE)
  if(TARGET zorbulon_contact_sheet_tool)
    add_test(NAME TextureContactSheet.ToolWithoutPack
      COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:zorbulon_contact_sheet_tool>
              -DWORK_DIR=${CMAKE_BINARY_DIR}/contact-sheet-no-pack -P ${CMAKE_CURRENT_LIST_FILE})
  endif()
  return()
endif()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(COMMAND ${TOOL} ${WORK_DIR}/sheet.png
  WORKING_DIRECTORY ${WORK_DIR}
  RESULT_VARIABLE rc
  ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "contact sheet tool failed (${rc}) without a pack:\n${err}")
endif()
if(NOT EXISTS ${WORK_DIR}/sheet.png)
  message(FATAL_ERROR "no sheet written")
endif()
foreach(name GroundTexture MoonTexture DrevikDiff SkyBoxnz)
  string(FIND "${err}" "${name}: not in the pack" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "${name} was not reported missing:\n${err}")
  endif()
endforeach()
# The 13 textures of the scene and the six sky faces.
string(FIND "${err}" "19 texture(s) shown as placeholders" found)
if(found EQUAL -1)
  message(FATAL_ERROR "summary line missing:\n${err}")
endif()
