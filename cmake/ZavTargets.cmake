# Helpers shared by the subsystem CMake files.

# Links the whole engine into `target`. The engine registers its classes and
# managers from static objects, so every object file must be kept.
function(zav_link_engine target)
  target_link_libraries(${target} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,zav_engine>")
endfunction()

# A GoogleTest executable; on the win build ctest runs it through Wine.
function(zav_add_gtest name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES ENVIRONMENT "ZAV_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()

# A libFuzzer target (fuzz preset only): fuzz_<name> in bin/, seeded from
# fuzz/corpus/<name> when that folder exists.
function(zav_add_fuzzer name)
  if(NOT ZAV_FUZZ)
    return()
  endif()
  add_executable(fuzz_${name} ${ARGN})
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
endfunction()

# A benchmark program: prints its figures, never asserts on time.
function(zav_add_benchmark name)
  add_executable(${name} ${ARGN})
endfunction()
