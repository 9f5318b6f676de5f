# Shared build helpers for Tarno's folders.

find_package(Threads REQUIRED)
if(BUILD_TESTING)
  find_package(GTest REQUIRED)
endif()

# tarno_add_test(<name> SOURCES ... LIBS ... [ENV ...])
# One GoogleTest executable per test folder, registered with CTest as a single test.
function(tarno_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  # Sanitizer builds run the same tests several times slower (ThreadSanitizer most).
  if(TARNO_SANITIZE)
    set_tests_properties(${name} PROPERTIES TIMEOUT 1800)
  else()
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  endif()
  if(ARG_ENV)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ARG_ENV}")
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
