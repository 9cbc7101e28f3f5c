# The Windows packages from the windows preset's build folder: a ZIP (cpack -G ZIP) and an
# installer (cpack -G NSIS, Debian's nsis). Both hold, flat at the top, what unpacking and
# double-clicking the editor needs:
#   zkf780a-editor.exe, zkf780a-qt.exe, zkf780a.exe, zkf780a-gatewaysim.exe
#   Qt6Core/Gui/Widgets.dll, the MinGW runtime DLLs, platforms\qwindows.dll (and
#   qoffscreen.dll), styles\qwindowsvistastyle.dll
#   DefaultImage\ (the editor's ProgramDir), fonts\ (what sample-data draws with), doc\
# Without the Qt cache (scripts/build-qt-windows.sh) only the command-line tool and the gateway
# simulator are built, and the packages hold those.
foreach(program zkf780a-editor zkf780a-qt zkf780a zkf780a-gatewaysim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION .)
  endif()
endforeach()
if(TARGET windows_runtime)
  install(FILES ${ZKF_WINDOWS_RUNTIME_FILES} DESTINATION .)
  install(FILES ${ZKF_QT_PLUGIN_DIR}/platforms/qwindows.dll
                ${ZKF_QT_PLUGIN_DIR}/platforms/qoffscreen.dll DESTINATION platforms)
  install(FILES ${ZKF_QT_PLUGIN_DIR}/styles/qwindowsvistastyle.dll DESTINATION styles)
  install(DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/fonts DESTINATION .)
endif()
if(TARGET DefaultImage)
  install(DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/DefaultImage DESTINATION .)
elseif(ZKF_NATIVE_BIN_DIR AND IS_DIRECTORY ${ZKF_NATIVE_BIN_DIR}/DefaultImage)
  install(DIRECTORY ${ZKF_NATIVE_BIN_DIR}/DefaultImage DESTINATION .)
else()
  message(STATUS "Windows packages without DefaultImage: no ${ZKF_NATIVE_BIN_DIR}/DefaultImage")
endif()
install(FILES ${CMAKE_SOURCE_DIR}/docs/user-guide.md ${CMAKE_SOURCE_DIR}/README.md
        ${CMAKE_CURRENT_SOURCE_DIR}/copyright DESTINATION doc)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/screenshots DESTINATION doc)

set(CPACK_PACKAGE_NAME zkf780a)
set(CPACK_PACKAGE_VENDOR "ZKF780A editor maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ZKF780A lift display editor and VRC-780A upload tool")
set(CPACK_PACKAGE_FILE_NAME zkf780a-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY "ZKF780A")
set(CPACK_PACKAGE_EXECUTABLES zkf780a-editor "ZKF780A editor")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/copyright)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR ZIP)

# The installer: a Start-menu entry, .zkf projects open in the editor on a double-click, an
# uninstaller that takes the association away again.
set(CPACK_NSIS_DISPLAY_NAME "ZKF780A editor")
set(CPACK_NSIS_PACKAGE_NAME "ZKF780A editor")
set(CPACK_NSIS_MUI_ICON ${CMAKE_SOURCE_DIR}/packaging/icons/zkf780a.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_SOURCE_DIR}/packaging/icons/zkf780a.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME zkf780a-editor.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
# CPack writes these into its configuration file as quoted strings, which CMake reads again:
# hence \\ for a backslash and \" for a quote in the bracket text below.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS [=[
  WriteRegStr HKCR \".zkf\" \"\" \"ZKF780A.Project\"
  WriteRegStr HKCR \"ZKF780A.Project\" \"\" \"ZKF780A project\"
  WriteRegStr HKCR \"ZKF780A.Project\\DefaultIcon\" \"\" \"$INSTDIR\\zkf780a-editor.exe,0\"
  WriteRegStr HKCR \"ZKF780A.Project\\shell\\open\\command\" \"\" '\"$INSTDIR\\zkf780a-editor.exe\" \"%1\"'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
]=])
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS [=[
  DeleteRegKey HKCR \"ZKF780A.Project\"
  DeleteRegKey HKCR \".zkf\"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
]=])
include(CPack)

add_test(NAME windows_zip COMMAND ${CMAKE_SOURCE_DIR}/tests/packaging/windows_zip_test.sh
                                  ${CMAKE_BINARY_DIR})
set_tests_properties(windows_zip PROPERTIES LABELS install TIMEOUT 900)
