# Helpers that give every library, test and benchmark of the project the same settings.

function(vm_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow)
  if(VM_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# vm_library(<name> SOURCES ... [DEPS ...]): one static library per folder of src/.
function(vm_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  vm_warnings(${name})
  if(VM_FUZZ)
    # Coverage for the fuzzers, which link these libraries.
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endfunction()

# vm_test(<name> SOURCES ... [DEPS ...] [LABELS ...]): one GoogleTest program, its cases registered
# with CTest. Label "tsan" marks the tests that the ThreadSanitizer script runs.
function(vm_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock)
  vm_warnings(${name})
  set(props TIMEOUT 300)
  if(ARG_LABELS)
    list(APPEND props LABELS "${ARG_LABELS}")
  endif()
  # A sanitizer build starts a program slowly; listing its cases gets a minute, not 5 s.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES ${props})
endfunction()

# vm_bench(<name> SOURCES ... [DEPS ...])
function(vm_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
  vm_warnings(${name})
endfunction()

# vm_fuzz(<name> SOURCES ... [DEPS ...]): a libFuzzer target, built only when VM_FUZZ is ON
# (clang), with the build's sanitizers. scripts/sanitize.sh runs every one of them for a while,
# with the seed inputs in tests/fuzz/corpus/<name>/ when that folder exists.
function(vm_fuzz name)
  if(NOT VM_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  vm_warnings(${name})
endfunction()
