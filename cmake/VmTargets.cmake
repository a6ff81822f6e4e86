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

# vm_test(<name> [SERIAL] SOURCES ... [DEPS ...] [LABELS ...]): one GoogleTest program, its cases
# registered with CTest. Label "tsan" marks the tests that the ThreadSanitizer script runs. SERIAL
# runs each case with no other test beside it (tests that play through a real-time audio server).
function(vm_test name)
  cmake_parse_arguments(ARG "SERIAL" "" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock)
  vm_warnings(${name})
  set(props TIMEOUT 300)
  if(ARG_LABELS)
    list(APPEND props LABELS "${ARG_LABELS}")
  endif()
  if(ARG_SERIAL)
    list(APPEND props RUN_SERIAL TRUE)
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

# vm_link_closure(<target> <out-var>): every library that <target> links, directly or through the
# targets it links (PUBLIC and PRIVATE alike: a static library carries both to whoever links it).
# Imported targets of another folder are listed by name and not followed.
function(vm_link_closure target out)
  set(seen "")
  set(pending ${target})
  while(pending)
    list(POP_FRONT pending current)
    get_target_property(links ${current} INTERFACE_LINK_LIBRARIES)
    if(NOT links)
      set(links "")
    endif()
    get_target_property(type ${current} TYPE)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(direct ${current} LINK_LIBRARIES)
      if(direct)
        list(APPEND links ${direct})
      endif()
    endif()
    foreach(link IN LISTS links)
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
      if(link MATCHES "^\\$<" OR link IN_LIST seen)
        continue()
      endif()
      list(APPEND seen ${link})
      if(TARGET "${link}")
        list(APPEND pending ${link})
      endif()
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# vm_forbid_links(<target> <library>...): the configure fails when <target> links any of the
# libraries, directly or through another. Call it once every library is defined.
function(vm_forbid_links target)
  vm_link_closure(${target} closure)
  foreach(library IN LISTS ARGN)
    if(library IN_LIST closure)
      message(FATAL_ERROR "${target} must not link ${library}; it does through: ${closure}")
    endif()
  endforeach()
endfunction()

# vm_forbid_includes(<folder> <prefix>): the configure fails when a source or header of
# src/<folder> includes a header under src/<prefix>/.
function(vm_forbid_includes folder prefix)
  file(GLOB_RECURSE files ${PROJECT_SOURCE_DIR}/src/${folder}/*.h
       ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp)
  foreach(file IN LISTS files)
    file(STRINGS ${file} found REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]${prefix}/")
    if(found)
      message(FATAL_ERROR "${file} must not include a header of src/${prefix}: ${found}")
    endif()
  endforeach()
endfunction()
