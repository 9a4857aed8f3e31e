# Helpers shared by every folder. Each folder registers itself: a new subsystem, test group,
# tool or benchmark only adds its own CMakeLists.txt and never edits a shared one.

set(QUARN_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
                   -Woverloaded-virtual -Wno-unused-parameter)
# GCC 12 at -O3 reports the standard library's own string inserts as overlapping copies (a
# known false positive of -Wrestrict), which would fail Release builds with warnings as errors.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  list(APPEND QUARN_WARNINGS -Wno-restrict)
endif()
if(QUARN_WERROR)
  list(APPEND QUARN_WARNINGS -Werror)
endif()

# Undefined behaviour stops the program: a report that only printed would let its test pass.
set(QUARN_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined)
if(QUARN_SANITIZE)
  add_compile_options(${QUARN_SANITIZER_FLAGS} -fno-omit-frame-pointer)
  add_link_options(${QUARN_SANITIZER_FLAGS})
endif()
# libFuzzer builds instrument every library too, so the fuzzer sees the code it drives; only
# the fuzz executables link the fuzzer's own main (fuzz/CMakeLists.txt).
if(QUARN_LIBFUZZER)
  add_compile_options(-fsanitize=fuzzer-no-link ${QUARN_SANITIZER_FLAGS} -fno-omit-frame-pointer)
  add_link_options(${QUARN_SANITIZER_FLAGS})
endif()

# Our own code: warnings on, C++20.
function(quarn_target_defaults target)
  target_compile_options(${target} PRIVATE ${QUARN_WARNINGS})
  target_compile_features(${target} PUBLIC cxx_std_20)
endfunction()

# One static library per src/ folder: quarn_<folder>. Its include root holds a single link,
# <root>/<folder> -> src/<folder>, so "render/Texture.h" resolves only in code that links
# quarn_render: a library sees its own headers and those of the libraries it links, never a
# layer above it.
# DEPS are seen by the library's users too; PRIVATE_DEPS only by the library itself.
function(quarn_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  set(root ${CMAKE_BINARY_DIR}/include/${name})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${name} ${root}/${name} SYMBOLIC)
  add_library(quarn_${name} STATIC ${ARG_SOURCES})
  target_include_directories(quarn_${name} PUBLIC ${root})
  target_link_libraries(quarn_${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
  quarn_target_defaults(quarn_${name})
endfunction()

# A GoogleTest executable registered with CTest under one label (unit, gl, e2e, fuzz).
# GL tests need a display: scripts/test.sh runs all of CTest under xvfb-run.
function(quarn_test name)
  cmake_parse_arguments(ARG "" "LABEL" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  quarn_target_defaults(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  # The environment goes through `env` as the tests' launcher: a list given to
  # gtest_discover_tests' ENVIRONMENT property is split at its semicolons.
  set_target_properties(${name} PROPERTIES
    CROSSCOMPILING_EMULATOR "env;LC_ALL=C;QUARN_NO_DIALOGS=1;ALSOFT_DRIVERS=null")
  # Cases carry their own names: the test name is that name, never the parameter's bytes.
  gtest_discover_tests(${name} NO_PRETTY_VALUES PROPERTIES LABELS ${ARG_LABEL} DISCOVERY_TIMEOUT 60)
endfunction()

# Tests and benchmarks that open the main window load Font.tga, console.txt and the demo bot
# from their executable's folder, as the program does. They are built into `dir`, which holds
# links to those files in the bin directory, so the bin directory keeps only what is installed.
function(quarn_beside_program_files target dir)
  file(GLOB entries RELATIVE ${PROJECT_SOURCE_DIR}/data ${PROJECT_SOURCE_DIR}/data/*)
  list(REMOVE_ITEM entries CMakeLists.txt)
  file(MAKE_DIRECTORY ${dir})
  foreach(entry Font.tga ${entries})
    file(CREATE_LINK ${QUARN_BIN_DIR}/${entry} ${dir}/${entry} SYMBOLIC)
  endforeach()
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${dir})
endfunction()

# add_subdirectory() for every child folder of the current one that has a CMakeLists.txt.
function(quarn_add_child_folders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child}
       AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

include(GoogleTest)

# An end-to-end test: a bash script that drives the real build/bin/quarn under the virtual
# display (scripts/test.sh runs CTest under xvfb-run). The script can source
# tests/e2e/lib.sh; it gets QUARN_BIN (the bin directory), QUARN_BUILD (the build directory)
# and E2E_TMP (a fresh directory).
function(quarn_e2e name script)
  add_test(NAME e2e.${name}
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/${script})
  set_tests_properties(e2e.${name} PROPERTIES LABELS e2e TIMEOUT 120 RUN_SERIAL TRUE
    ENVIRONMENT "QUARN_BIN=${QUARN_BIN_DIR};QUARN_BUILD=${CMAKE_BINARY_DIR};E2E_LIB=${PROJECT_SOURCE_DIR}/tests/e2e/lib.sh;LC_ALL=C;ALSOFT_DRIVERS=null")
endfunction()
