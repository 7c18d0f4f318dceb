# Helpers shared by every target of the project.

# Strict warnings, as errors, on the project's own targets only.
function(oa_target_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wold-style-cast -Wcast-align -Woverloaded-virtual
                                           -Wno-missing-field-initializers -Werror)
  # GCC 12's -Wrestrict misfires inside std::string at -O3 (one-letter assignments, appends
  # after inlining); it found nothing real in this tree and stops release builds at random.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-Wno-restrict>)
  endif()
endfunction()

# oa_add_test(name SOURCES a.cpp b.cpp DEPENDS lib... [QT] [TIMEOUT s])
# One test executable registered with CTest. Core tests use GoogleTest; QT tests use QtTest and
# run on the offscreen platform. LAUNCHER: a program (and its arguments) the test runs under.
function(oa_add_test name)
  cmake_parse_arguments(T "QT" "TIMEOUT" "SOURCES;DEPENDS;LAUNCHER" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  oa_target_warnings(${name})
  target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}/tests")
  target_compile_definitions(${name} PRIVATE OA_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data")
  if(T_QT)
    target_link_libraries(${name} PRIVATE ${T_DEPENDS} Qt6::Test)
    # The header precompiled for the tests' support library serves them all, instead of one
    # each; a test with Qt Network (also brought by Qt Multimedia), which changes what <QtTest>
    # declares, needs its own.
    set(network FALSE)
    foreach(module Qt6::Network Qt6::Multimedia)
      if(module IN_LIST T_DEPENDS)
        set(network TRUE)
      endif()
    endforeach()
    if(TARGET oa_ui_test_support AND NOT network)
      target_precompile_headers(${name} REUSE_FROM oa_ui_test_support)
    else()
      target_precompile_headers(${name} PRIVATE ${OA_UI_TEST_PCH})
    endif()
  else()
    target_link_libraries(${name} PRIVATE ${T_DEPENDS} GTest::gmock GTest::gtest_main)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${T_LAUNCHER} $<TARGET_FILE:${name}>)
  set(env "OA_RESOURCES=${OA_RESOURCES_DIR}")
  if(T_QT)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${env}")
endfunction()

# Sources of one folder of a library: every .cpp below it. New files are picked up on the next
# build without editing the list.
function(oa_glob_sources out)
  set(all)
  foreach(dir ${ARGN})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND all ${found})
  endforeach()
  set(${out} ${all} PARENT_SCOPE)
endfunction()
