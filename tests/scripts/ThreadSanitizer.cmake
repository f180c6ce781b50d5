# The code that runs on more than one thread (the parallel image decode; the sound engine, whose
# voices OpenAL's mixer thread plays) and its tests, built with ThreadSanitizer in a build of its
# own (scripts/tsan.sh). Only those sources are compiled, so the build stays small; every one of
# them is instrumented, the libraries underneath are not.
if(ZORBULON_TSAN)
  set(src ${CMAKE_SOURCE_DIR})
  add_library(zorbulon_tsan_code STATIC
    ${src}/assets/AssetPack.cpp ${src}/assets/DecodedImageCache.cpp ${src}/assets/ImageBatch.cpp
    ${src}/assets/ImageDecoder.cpp
    ${src}/game/PlayingSound.cpp ${src}/game/SoundDecoder.cpp ${src}/game/SoundEngine.cpp
    ${src}/game/SoundSource.cpp ${src}/game/SoundVoicePool.cpp)
  target_include_directories(zorbulon_tsan_code PUBLIC ${src})
  target_link_libraries(zorbulon_tsan_code PUBLIC zorbulon_deps)
  zorbulon_warnings(zorbulon_tsan_code)

  add_executable(zorbulon_thread_tests ${CMAKE_CURRENT_SOURCE_DIR}/unit/ImageBatchTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/sound/SoundEngineTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/sound/SoundTestMain.cpp)
  target_include_directories(zorbulon_thread_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(zorbulon_thread_tests PRIVATE zorbulon_tsan_code GTest::gtest)
  add_dependencies(zorbulon_thread_tests zorbulon_pack)
  zorbulon_warnings(zorbulon_thread_tests)
endif()
