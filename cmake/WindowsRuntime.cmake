# What the Windows programs need beside them.
#
# Programs without Qt stay one self-contained .exe each (the MinGW runtime linked in). The Qt
# programs (zkf_program ... QT) share the MinGW runtime DLLs with Qt's own DLLs, so
# that one C++ runtime serves both sides of every call into Qt.
add_link_options(
  "$<$<AND:$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>,$<NOT:$<BOOL:$<TARGET_PROPERTY:ZKF_QT_PROGRAM>>>>:-static;-static-libgcc;-static-libstdc++>")

# zkf_windows_program(TARGET DESCRIPTION): the .exe carries the application manifest (UTF-8 as
# the active code page, so file names outside the ANSI code page reach the program whole;
# common controls 6; DPI awareness), version information and the program's icon.
function(zkf_windows_program target description)
  set(ZKF_RC_NAME ${target})
  set(ZKF_RC_DESCRIPTION ${description})
  set(ZKF_RC_ICON ${CMAKE_SOURCE_DIR}/packaging/icons/zkf780a.ico)
  set(ZKF_RC_MANIFEST ${CMAKE_SOURCE_DIR}/packaging/windows/zkf780a.manifest)
  set(rc ${CMAKE_BINARY_DIR}/generated/${target}.rc)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/program.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS ${ZKF_RC_ICON} ${ZKF_RC_MANIFEST})
endfunction()

# Qt's DLLs and plugins and the MinGW runtime DLLs, copied into bin/ as windeployqt would: the
# programs start from the build folder, under Wine in the tests, and the ZIP takes them from
# there.
if(TARGET Qt6::Core)
  set(ZKF_QT_DLLS)
  foreach(module Core Gui Widgets)
    list(APPEND ZKF_QT_DLLS $<TARGET_FILE:Qt6::${module}>)
  endforeach()
  set(ZKF_QT_PLUGIN_DIR ${ZKF_QT_WINDOWS_PREFIX}/plugins)
  set(ZKF_MINGW_DLLS)
  foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(path ${path} REALPATH)
    list(APPEND ZKF_MINGW_DLLS ${path})
  endforeach()
  set(bin ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  add_custom_target(windows_runtime ALL
    COMMAND ${CMAKE_COMMAND} -E make_directory ${bin}/platforms ${bin}/styles
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${ZKF_QT_DLLS} ${ZKF_MINGW_DLLS} ${bin}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${ZKF_QT_PLUGIN_DIR}/platforms/qwindows.dll
            ${ZKF_QT_PLUGIN_DIR}/platforms/qoffscreen.dll ${bin}/platforms
    COMMAND ${CMAKE_COMMAND} -E copy_if_different
            ${ZKF_QT_PLUGIN_DIR}/styles/qwindowsvistastyle.dll ${bin}/styles
    COMMENT "Qt and MinGW runtime DLLs beside the Windows programs"
    VERBATIM)
  set(ZKF_WINDOWS_RUNTIME_FILES ${ZKF_QT_DLLS} ${ZKF_MINGW_DLLS})

  # The font files the sample data is drawn from (Debian's fonts-dejavu-core and
  # fonts-wqy-zenhei), in fonts\ beside the programs, where sample-data looks on Windows.
  set(ZKF_FONT_ROOT /usr/share/fonts/truetype)
  set(ZKF_FONT_FILES dejavu/DejaVuSans.ttf dejavu/DejaVuSans-Bold.ttf
      dejavu/DejaVuSansCondensed-Bold.ttf dejavu/DejaVuSerif-Bold.ttf dejavu/DejaVuSansMono.ttf
      dejavu/DejaVuSansMono-Bold.ttf wqy/wqy-zenhei.ttc)
  set(copies)
  foreach(font IN LISTS ZKF_FONT_FILES)
    get_filename_component(dir ${font} DIRECTORY)
    list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy_if_different ${ZKF_FONT_ROOT}/${font}
         ${bin}/fonts/${dir}/)
  endforeach()
  add_custom_target(windows_fonts ALL
    COMMAND ${CMAKE_COMMAND} -E make_directory ${bin}/fonts/dejavu ${bin}/fonts/wqy ${copies}
    COMMENT "Sample data fonts in bin/fonts"
    VERBATIM)
endif()
