# The Windows zip (cpack -G ZIP from the windows preset's build folder): the command-line tool
# (with its controller simulator, `zkf780a simulate-controller --port COMn`) and the gateway
# simulator, flat at the top of the zip, with the default picture tree beside them when a native
# build has drawn it (ZKF_NATIVE_BIN_DIR/DefaultImage: drawing it needs Qt, which this build does
# not have). The executables' folder with DefaultImage in it is their ProgramDir.
foreach(program zkf780a zkf780a-gatewaysim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION .)
  endif()
endforeach()
if(ZKF_NATIVE_BIN_DIR AND IS_DIRECTORY ${ZKF_NATIVE_BIN_DIR}/DefaultImage)
  install(DIRECTORY ${ZKF_NATIVE_BIN_DIR}/DefaultImage DESTINATION .)
else()
  message(STATUS "Windows zip without DefaultImage: no ${ZKF_NATIVE_BIN_DIR}/DefaultImage")
endif()
install(FILES ${CMAKE_SOURCE_DIR}/docs/user-guide.md ${CMAKE_SOURCE_DIR}/README.md
        ${CMAKE_CURRENT_SOURCE_DIR}/copyright DESTINATION doc)

set(CPACK_PACKAGE_NAME zkf780a)
set(CPACK_PACKAGE_VENDOR "ZKF780A editor maintainers")
set(CPACK_PACKAGE_FILE_NAME zkf780a-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR ZIP)
include(CPack)

add_test(NAME windows_zip COMMAND ${CMAKE_SOURCE_DIR}/tests/packaging/windows_zip_test.sh
                                  ${CMAKE_BINARY_DIR})
set_tests_properties(windows_zip PROPERTIES LABELS install TIMEOUT 600)
