# SPDX-License-Identifier: GPL-3.0-or-later
# Build helpers shared by every folder: warnings, sanitizers, libraries, tests, fuzzers, benchmarks.

include_guard(GLOBAL)

# Warnings and sanitizers for every target of ours, through one interface target.
add_library(marrowlark_options INTERFACE)
target_compile_options(marrowlark_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                                                    -Wnon-virtual-dtor -Wcast-align -Wformat=2)
if(MARROWLARK_WERROR)
  target_compile_options(marrowlark_options INTERFACE -Werror)
endif()
if(MARROWLARK_SANITIZE)
  set(_mlk_san -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_compile_options(marrowlark_options INTERFACE ${_mlk_san})
  target_link_options(marrowlark_options INTERFACE ${_mlk_san})
  # Every executable gets the sanitiser's run-time defaults; libraries need none of their own.
  target_sources(marrowlark_options INTERFACE
                 "$<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:${CMAKE_CURRENT_LIST_DIR}/SanitizerDefaults.cpp>")
endif()

set(MARROWLARK_QT_DEFINITIONS QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING
                              QT_NO_FOREACH QT_NO_KEYWORDS)

# marrowlark_add_library(Name FOLDER_ALIAS Sources...)
#   Adds the static library marrowlark_<lowercase name> with the alias Marrowlark::<Name>, its
#   folder's parent as include root (so code includes "model/CardInfo.h").
function(marrowlark_add_library name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;DEPENDS" ${ARGN})
  string(TOLOWER "${name}" lower)
  set(target marrowlark_${lower})
  add_library(${target} STATIC ${ARG_SOURCES})
  add_library(Marrowlark::${name} ALIAS ${target})
  target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}")
  target_link_libraries(${target} PUBLIC ${ARG_DEPENDS} PRIVATE marrowlark_options)
  # In fuzzing builds every library of ours carries the coverage instrumentation that guides the
  # fuzzers: without it a fuzzer sees only its own entry function and mutates blindly.
  if(MARROWLARK_BUILD_FUZZERS)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
  if(ARG_QT)
    target_compile_definitions(${target} PUBLIC ${MARROWLARK_QT_DEFINITIONS})
    set_target_properties(${target} PROPERTIES AUTOMOC ON AUTORCC ON AUTOUIC ON)
  endif()
endfunction()

# marrowlark_add_program(target Sources... DEPENDS libs... [QT])
function(marrowlark_add_program target)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_DEPENDS} marrowlark_options)
  if(ARG_QT)
    target_compile_definitions(${target} PRIVATE ${MARROWLARK_QT_DEFINITIONS})
    set_target_properties(${target} PROPERTIES AUTOMOC ON AUTORCC ON AUTOUIC ON)
  endif()
  install(TARGETS ${target} RUNTIME DESTINATION .)
  # The install step's test checks the installation folder holds exactly these programs.
  set_property(GLOBAL APPEND PROPERTY MARROWLARK_INSTALLED_PROGRAMS ${target})
endfunction()

# marrowlark_add_test(name SOURCES ... DEPENDS ... [DATA dir] [LABELS ...] [ENVIRONMENT ...]
#                     [QT] [NO_MAIN] [TIMEOUT seconds])
#   A GoogleTest program, registered test by test with CTest. DATA names a folder of test data; the
#   program finds it through the MARROWLARK_TEST_DATA definition.
function(marrowlark_add_test name)
  cmake_parse_arguments(ARG "QT;NO_MAIN" "DATA;TIMEOUT" "SOURCES;DEPENDS;LABELS;ENVIRONMENT" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gmock marrowlark_options)
  if(NOT ARG_NO_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  if(ARG_QT)
    target_compile_definitions(${name} PRIVATE ${MARROWLARK_QT_DEFINITIONS})
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON AUTOUIC ON)
  endif()
  if(ARG_DATA)
    get_filename_component(data "${ARG_DATA}" ABSOLUTE)
    target_compile_definitions(${name} PRIVATE MARROWLARK_TEST_DATA="${data}")
  endif()
  target_compile_definitions(${name} PRIVATE MARROWLARK_BUILD_DIR="${PROJECT_BINARY_DIR}"
                                             MARROWLARK_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  # Labels and environment are lists, which gtest_discover_tests cannot pass on intact; a
  # script included after the discovered tests sets them on every test of this program.
  if(ARG_LABELS OR ARG_ENVIRONMENT)
    set(props_file "${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake")
    file(WRITE "${props_file}"
         "if(${name}_TESTS)\n"
         "  set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS [==[${ARG_LABELS}]==]\n"
         "                      ENVIRONMENT [==[${ARG_ENVIRONMENT}]==])\n"
         "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${props_file}")
  endif()
endfunction()

# marrowlark_add_fuzzer(name SOURCE file DEPENDS ... CORPUS dir)
#   With MARROWLARK_BUILD_FUZZERS (Clang) a libFuzzer program; otherwise the same entry point
#   linked with a replay main. Either way CTest replays the seed corpus, so every build checks it.
function(marrowlark_add_fuzzer name)
  cmake_parse_arguments(ARG "" "SOURCE;CORPUS" "DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCE})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} marrowlark_options)
  get_filename_component(corpus "${ARG_CORPUS}" ABSOLUTE)
  if(MARROWLARK_BUILD_FUZZERS)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    add_test(NAME fuzz_replay.${name} COMMAND ${name} -runs=0 "${corpus}")
  else()
    target_sources(${name} PRIVATE "${PROJECT_SOURCE_DIR}/fuzz/ReplayMain.cpp")
    add_test(NAME fuzz_replay.${name} COMMAND ${name} "${corpus}")
  endif()
  set_tests_properties(fuzz_replay.${name} PROPERTIES LABELS fuzz TIMEOUT 300)
  set_property(GLOBAL APPEND PROPERTY MARROWLARK_FUZZERS "${name}|${corpus}")
endfunction()

# marrowlark_add_benchmark(name SOURCES ... DEPENDS ...)
function(marrowlark_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} benchmark::benchmark benchmark::benchmark_main
                                        marrowlark_options)
  target_compile_definitions(${name} PRIVATE MARROWLARK_BUILD_DIR="${PROJECT_BINARY_DIR}"
                                             MARROWLARK_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endfunction()

# The installation folder's data as laid out in the build tree (fonts, backgrounds, music, ...).
# Generators write into it and attach their custom targets to marrowlark_data; tests point
# MARROWLARK_HOME at it; the install step copies it beside the programs.
set(MARROWLARK_HOME_DIR "${PROJECT_BINARY_DIR}/home")
file(MAKE_DIRECTORY "${MARROWLARK_HOME_DIR}")
add_custom_target(marrowlark_data ALL)
