# Shared build helpers for Tarno's folders.

find_package(Threads REQUIRED)
if(BUILD_TESTING)
  find_package(GTest REQUIRED)
endif()

# tarno_add_test(<name> SOURCES ... LIBS ... [ENV ...] [SHARDS n] [COST c])
# One GoogleTest executable per test folder, registered with CTest as a single test, or as n tests
# <name>_shard<i> that each run every n-th case (GoogleTest's sharding), so that a long suite keeps
# both cores busy under ctest -j. A COST starts the long suites first on a machine that has no
# timings of earlier runs (a fresh CI checkout), so that none of them is left running alone at the
# end.
function(tarno_add_test name)
  cmake_parse_arguments(ARG "" "SHARDS;COST" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  # A test's own code does little work (the code under test is built as it ships), but the
  # GoogleTest macros make optimising it cost more than half of a cold build: test sources are
  # compiled unoptimised. Sanitizer builds keep their own level (ThreadSanitizer's -O1 runs the
  # suite faster than it would save in compiling).
  if(NOT TARNO_SANITIZE)
    target_compile_options(${name} PRIVATE -O0)
  endif()
  # Sanitizer builds run the same tests several times slower (ThreadSanitizer most).
  if(TARNO_SANITIZE)
    set(timeout 1800)
  else()
    set(timeout 600)
  endif()
  if(ARG_SHARDS)
    math(EXPR last "${ARG_SHARDS} - 1")
    set(tests)
    foreach(shard RANGE ${last})
      add_test(NAME ${name}_shard${shard} COMMAND ${name} --gtest_brief=1)
      set(environment GTEST_TOTAL_SHARDS=${ARG_SHARDS} GTEST_SHARD_INDEX=${shard} ${ARG_ENV})
      set_tests_properties(${name}_shard${shard} PROPERTIES ENVIRONMENT "${environment}")
      list(APPEND tests ${name}_shard${shard})
    endforeach()
  else()
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set(tests ${name})
    if(ARG_ENV)
      set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ARG_ENV}")
    endif()
  endif()
  set_tests_properties(${tests} PROPERTIES TIMEOUT ${timeout})
  if(ARG_COST)
    set_tests_properties(${tests} PROPERTIES COST ${ARG_COST})
  endif()
endfunction()

# tarno_add_fuzzer(<name> SOURCES ... LIBS ... CORPUS <dir>)
# With TARNO_FUZZ the harness links libFuzzer. Otherwise it links a small driver that feeds
# every corpus file through the harness once, so ordinary test runs replay the corpus.
function(tarno_add_fuzzer name)
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  if(TARNO_FUZZ)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz/ReplayMain.cpp)
    if(ARG_CORPUS)
      add_test(NAME ${name}_replay COMMAND ${name} ${ARG_CORPUS})
    endif()
  endif()
endfunction()
