# zkf_add_gtest(NAME sources... LIBS libs...)
# One GoogleTest binary per source folder, registered with CTest. Qt tests run offscreen.
function(zkf_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ZKF_TEST_DATA=${CMAKE_SOURCE_DIR}/tests/data"
    TIMEOUT 600)
endfunction()

# zkf_program(TARGET DESCRIPTION [QT]): a program the packages ship. On Windows it gets the
# manifest, version information and icon (cmake/WindowsRuntime.cmake), and QT marks a program
# that links Qt, which shares the MinGW runtime DLLs with Qt's own.
function(zkf_program target description)
  if(NOT WIN32)
    return()
  endif()
  zkf_windows_program(${target} "${description}")
  if("QT" IN_LIST ARGN)
    set_target_properties(${target} PROPERTIES ZKF_QT_PROGRAM ON)
  endif()
endfunction()
