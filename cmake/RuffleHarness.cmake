# SPDX-License-Identifier: GPL-3.0-or-later
# Acceptance tests that play movies in Ruffle (headless Chromium driven by playwright-core), through
# the scenario runner tests/acceptance/harness/run.mjs. See tests/acceptance/README.md.

include_guard(GLOBAL)

# Cache entries, so that every folder sees them whichever folder included this file first.
find_program(MARROWLARK_NODE NAMES node nodejs)
set(MARROWLARK_RUFFLE_RUNNER "${PROJECT_SOURCE_DIR}/tests/acceptance/harness/run.mjs"
    CACHE INTERNAL "The scenario runner of the Ruffle tests")
# The CI build sets this, so that a machine without node or the test movies' tools fails to configure
# instead of quietly running without the player tests.
option(MARROWLARK_REQUIRE_PLAYER_TESTS "Fail the configuration when a Ruffle test cannot be added" OFF)

# Says why a Ruffle test is not added: a status line, or an error when the player tests are required.
function(marrowlark_skip_ruffle_test reason)
  if(MARROWLARK_REQUIRE_PLAYER_TESTS)
    message(FATAL_ERROR "${reason}")
  endif()
  message(STATUS "${reason}")
endfunction()

# Ruffle tests each start a Chromium that keeps both cores busy: they take this lock so that they
# run one at a time, beside the other tests.
set(MARROWLARK_RUFFLE_LOCK marrowlark_chromium CACHE INTERNAL "CTest resource lock of the Ruffle tests")

# marrowlark_add_ruffle_movie(target OUTPUT file.swf COMMAND cmd args... [DEPENDS files-or-targets...])
#   Makes a movie at build time (part of ALL) and remembers it on the target, so that a test can
#   name the target in MOVIE_FROM.
function(marrowlark_add_ruffle_movie target)
  cmake_parse_arguments(ARG "" "OUTPUT" "COMMAND;DEPENDS" ${ARGN})
  if(NOT ARG_OUTPUT OR NOT ARG_COMMAND)
    message(FATAL_ERROR "marrowlark_add_ruffle_movie(${target}): OUTPUT and COMMAND are required")
  endif()
  get_filename_component(output "${ARG_OUTPUT}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
  get_filename_component(dir "${output}" DIRECTORY)
  add_custom_command(OUTPUT "${output}"
                     COMMAND "${CMAKE_COMMAND}" -E make_directory "${dir}"
                     COMMAND ${ARG_COMMAND}
                     DEPENDS ${ARG_DEPENDS}
                     COMMENT "Making the movie ${output}"
                     VERBATIM)
  add_custom_target(${target} ALL DEPENDS "${output}")
  set_target_properties(${target} PROPERTIES MARROWLARK_MOVIE "${output}")
endfunction()

# marrowlark_add_ruffle_test(NAME name SCENARIO file.json [MOVIE_FROM target-or-path]
#                            [DEPENDS targets...] [DEFINES NAME=VALUE...] [LABELS labels...]
#                            [TIMEOUT seconds] [EXPECT_FAILURE regex])
#   Registers "node run.mjs scenario" as the CTest test <name>, labelled ruffle and noasan.
#   Placeholders of the scenario get their values from: MOVIE and MOVIE_DIR (from MOVIE_FROM: a
#   target made by marrowlark_add_ruffle_movie, another target (its output folder), a movie file or a
#   folder), MARROWLARK_HOME (the installation data in the build tree), BUILD_DIR, SOURCE_DIR,
#   the DEFINES, and the environment. DEPENDS targets (and a MOVIE_FROM target) join ALL, so that
#   the usual build makes what the test plays. EXPECT_FAILURE turns the test around: it passes
#   when the runner's output matches the regex (used to check that the harness catches faults).
function(marrowlark_add_ruffle_test)
  cmake_parse_arguments(ARG "" "NAME;SCENARIO;MOVIE_FROM;TIMEOUT;EXPECT_FAILURE" "DEPENDS;DEFINES;LABELS"
                        ${ARGN})
  if(NOT ARG_NAME OR NOT ARG_SCENARIO)
    message(FATAL_ERROR "marrowlark_add_ruffle_test: NAME and SCENARIO are required")
  endif()
  if(NOT MARROWLARK_NODE)
    marrowlark_skip_ruffle_test("Ruffle test ${ARG_NAME} skipped: node was not found")
    return()
  endif()
  get_filename_component(scenario "${ARG_SCENARIO}" ABSOLUTE)

  set(defines)
  set(build_deps ${ARG_DEPENDS})
  if(ARG_MOVIE_FROM)
    if(TARGET "${ARG_MOVIE_FROM}")
      list(APPEND build_deps "${ARG_MOVIE_FROM}")
      get_target_property(movie "${ARG_MOVIE_FROM}" MARROWLARK_MOVIE)
      get_target_property(type "${ARG_MOVIE_FROM}" TYPE)
      if(movie)
        get_filename_component(movie_dir "${movie}" DIRECTORY)
        list(APPEND defines "MOVIE=${movie}" "MOVIE_DIR=${movie_dir}")
      elseif(type STREQUAL "EXECUTABLE")
        list(APPEND defines "MOVIE_DIR=$<TARGET_FILE_DIR:${ARG_MOVIE_FROM}>")
      else()
        get_target_property(movie_dir "${ARG_MOVIE_FROM}" BINARY_DIR)
        list(APPEND defines "MOVIE_DIR=${movie_dir}")
      endif()
    else()
      get_filename_component(path "${ARG_MOVIE_FROM}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
      if(IS_DIRECTORY "${path}" OR NOT path MATCHES "\\.[sS][wW][fF]$")
        list(APPEND defines "MOVIE_DIR=${path}")
      else()
        get_filename_component(movie_dir "${path}" DIRECTORY)
        list(APPEND defines "MOVIE=${path}" "MOVIE_DIR=${movie_dir}")
      endif()
    endif()
  endif()
  if(build_deps)
    if(NOT TARGET marrowlark_ruffle_inputs)
      add_custom_target(marrowlark_ruffle_inputs ALL)
    endif()
    add_dependencies(marrowlark_ruffle_inputs ${build_deps})
  endif()
  list(APPEND defines "MARROWLARK_HOME=${MARROWLARK_HOME_DIR}" "BUILD_DIR=${PROJECT_BINARY_DIR}"
       "SOURCE_DIR=${PROJECT_SOURCE_DIR}" ${ARG_DEFINES})

  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set(labels ruffle noasan ${ARG_LABELS})
  set(artifacts "${PROJECT_BINARY_DIR}/ruffle-artifacts/${ARG_NAME}")
  add_test(NAME ${ARG_NAME} COMMAND "${MARROWLARK_NODE}" "${MARROWLARK_RUFFLE_RUNNER}" "${scenario}" ${defines}
           WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
  set_tests_properties(${ARG_NAME} PROPERTIES
                       LABELS "${labels}"
                       TIMEOUT ${ARG_TIMEOUT}
                       RESOURCE_LOCK ${MARROWLARK_RUFFLE_LOCK}
                       ENVIRONMENT "MARROWLARK_ARTIFACT_DIR=${artifacts}")
  if(ARG_EXPECT_FAILURE)
    set_tests_properties(${ARG_NAME} PROPERTIES PASS_REGULAR_EXPRESSION "${ARG_EXPECT_FAILURE}")
  endif()
endfunction()
