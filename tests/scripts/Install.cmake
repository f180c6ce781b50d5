# The installed game: `cmake --install` into a temporary prefix and the .deb from CPack, each
# checked for its layout and played (the end-to-end close run) from the installed copy.
if(TARGET zorbulon AND TARGET zorbulon_icon)
  foreach(mode prefix deb)
    add_test(NAME InstalledGame.${mode}
      COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/install/installed_game_test.sh ${mode} ${CMAKE_BINARY_DIR}
              $<TARGET_FILE:zorbulon_xclose> ${CMAKE_BINARY_DIR}/e2e/installed_${mode})
    set_tests_properties(InstalledGame.${mode} PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE)
  endforeach()
endif()
