# Helpers that keep every folder's CMakeLists.txt to a line or two.
# Sources are the .cpp files of the folder (not its subfolders).

# qm_library(name [DEPS lib...]): a static library of the folder's .cpp files,
# or an interface library while the folder has headers only.
function(qm_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}")
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${PROJECT_SOURCE_DIR}")
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# qm_tests(name [DEPS lib...] [ENVIRONMENT "NAME=value"]): one GoogleTest program
# of the folder's .cpp files, registered with CTest. Tests find the real sample
# tables through QM_SAMPLES_DIR (tests/support/samples.h: the QM_SAMPLES
# variable, else the configured folder).
function(qm_tests name)
  if(NOT QM_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "ENVIRONMENT" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE QM_SAMPLES_DEFAULT="${QM_SAMPLES_DIR}")
  target_compile_options(${name} PRIVATE -include "${PROJECT_SOURCE_DIR}/tests/support/samples.h")
  if(ARG_ENVIRONMENT)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600 ENVIRONMENT "${ARG_ENVIRONMENT}")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)
  endif()
endfunction()

# qm_bench(name source [DEPS lib...]): a Google Benchmark program under bench/.
function(qm_bench name source)
  if(NOT QM_BENCH)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main)
  target_compile_definitions(${name} PRIVATE QM_SAMPLES_DIR="${QM_SAMPLES_DIR}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bench")
endfunction()

# qm_fuzzer(name source [DEPS lib...]): a libFuzzer target, built only with QM_FUZZ.
# Every fuzzer lands in <build>/fuzzers/, where .ci/test runs each for a bounded time.
function(qm_fuzzer name source)
  if(NOT QM_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_compile_definitions(${name} PRIVATE QM_SAMPLES_DIR="${QM_SAMPLES_DIR}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/fuzzers")
endfunction()
