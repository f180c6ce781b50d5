# Every third-party library comes from Debian packages (scripts/setup.sh installs them).
find_package(PkgConfig REQUIRED)
find_package(SDL2 REQUIRED)
find_package(Vulkan REQUIRED)
find_package(glm REQUIRED)
find_package(assimp REQUIRED)
find_package(nlohmann_json REQUIRED)
find_package(spirv_cross_core REQUIRED)
find_package(SPIRV-Tools REQUIRED)
find_package(Threads REQUIRED)
find_package(OpenGL REQUIRED)
find_package(ZLIB REQUIRED)
find_package(meshoptimizer REQUIRED)
# Used from its headers (app/Toml.h says why), so only its presence is checked here.
find_package(tomlplusplus 3 REQUIRED)
pkg_check_modules(IMGUI REQUIRED IMPORTED_TARGET imgui)
pkg_check_modules(OPENAL REQUIRED IMPORTED_TARGET openal)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
pkg_check_modules(SPNG REQUIRED IMPORTED_TARGET spng)

# ImGui and stb headers are third-party: include them as system headers so our warnings stay ours.
add_library(zorbulon_deps INTERFACE)
target_include_directories(zorbulon_deps SYSTEM INTERFACE /usr/include/imgui /usr/include/imgui/backends /usr/include/stb)
target_compile_definitions(zorbulon_deps INTERFACE
  GLM_FORCE_QUAT_DATA_WXYZ        # quaternions are stored w, x, y, z
  GLM_FORCE_RADIANS
  GLM_ENABLE_EXPERIMENTAL)
target_link_libraries(zorbulon_deps INTERFACE
  SDL2::SDL2 Vulkan::Vulkan glm::glm assimp::assimp nlohmann_json::nlohmann_json
  spirv-cross-core SPIRV-Tools-static PkgConfig::IMGUI PkgConfig::OPENAL PkgConfig::SNDFILE PkgConfig::SPNG
  OpenGL::GL ZLIB::ZLIB Threads::Threads ${CMAKE_DL_LIBS})
