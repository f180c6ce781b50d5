# Installation in Debian's layout for games, and a .deb through CPack:
#   <prefix>/games/zorbulon                    the command (a script that starts from the data dir)
#   <prefix>/lib/games/zorbulon/zorbulon       the executable
#   <prefix>/share/games/zorbulon/             Assets.bin and AssetsOffsets.bin
#   <prefix>/share/applications/, share/icons/ the menu entry and its icon
if(NOT TARGET zorbulon)
  return()
endif()

install(TARGETS zorbulon RUNTIME DESTINATION lib/games/zorbulon)
install(FILES ${ZORBULON_RUN_DIR}/Assets.bin ${ZORBULON_RUN_DIR}/AssetsOffsets.bin DESTINATION share/games/zorbulon)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/packaging/zorbulon.sh DESTINATION games RENAME zorbulon)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/zorbulon.desktop DESTINATION share/applications)
# The icon: the zombie's face, drawn from the pack by the model preview tool.
if(TARGET zorbulon_pack AND TARGET zorbulon_model_preview)
  set(icon ${ZORBULON_CONTENT_DIR}/zorbulon.png)
  get_property(pack GLOBAL PROPERTY ZORBULON_PACK_FILE)
  add_custom_command(
    OUTPUT ${icon}
    COMMAND zorbulon_model_preview --icon ${icon}
    WORKING_DIRECTORY ${ZORBULON_RUN_DIR}
    DEPENDS zorbulon_model_preview zorbulon_pack ${pack}
    COMMENT "Drawing the game's icon"
    VERBATIM)
  add_custom_target(zorbulon_icon ALL DEPENDS ${icon})
  install(FILES ${icon} DESTINATION share/icons/hicolor/256x256/apps RENAME zorbulon.png)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorbulon)
set(CPACK_PACKAGE_VENDOR "Zorbulon developers")
set(CPACK_PACKAGE_CONTACT "Zorbulon developers <developers@zorbulon.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "night-arena zombie shooter with a bubble gun")
set(CPACK_PACKAGE_DESCRIPTION
    "A real-time 3D action game: hold a night arena against rounds of zombies with a bubble gun whose burst becomes a burning puddle. Renders with Vulkan (any GPU, or Mesa's lavapipe on the CPU).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps names the libraries the executable links (SDL2, OpenAL, libsndfile, assimp,
# SPIRV-Cross, zlib...); the Vulkan driver is loaded at run time, so it is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libvulkan1, mesa-vulkan-drivers | vulkan-icd")
include(CPack)
