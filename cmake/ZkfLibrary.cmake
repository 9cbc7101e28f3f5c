# zkf_add_library(NAME FOLDER <include folder>
#   [PUBLIC_HEADERS h...] [PRIVATE_HEADERS h...]
#   [SOURCES s...] [POSIX_SOURCES s...] [WIN32_SOURCES s...]
#   [LINKS libs...] [PRIVATE_LINKS libs...] [EXPORT <name in the ZKF780A package>])
#
# One static library of a source folder. The layering is enforced by what each target puts on
# the include path: its public headers are staged (as links) under
# build/include/<NAME>/<FOLDER>/ and only that folder is exported, so a target sees the headers
# of the libraries it links and no others; an include against the direction fails to build.
# All its headers, the private ones too, are staged under build/include-private/<NAME>/ for the
# target itself and for its tests and benchmarks, which link <NAME>_internal. A public header
# that includes a private one thus fails to build outside its target.
#
# With EXPORT the library installs (component "dev") with its public headers under
# include/<FOLDER>/ and joins the package ZKF780A as ZKF780A::<name>; ZKF780A::<name> is also an
# alias inside this build.
include(GNUInstallDirs)

function(zkf_stage_headers root folder)
  foreach(header IN LISTS ARGN)
    set(link ${root}/${folder}/${header})
    get_filename_component(dir ${link} DIRECTORY)
    file(MAKE_DIRECTORY ${dir})
    if(NOT IS_SYMLINK ${link})
      file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${link} SYMBOLIC)
    endif()
  endforeach()
endfunction()

function(zkf_add_library name)
  cmake_parse_arguments(ARG "" "FOLDER;EXPORT"
    "PUBLIC_HEADERS;PRIVATE_HEADERS;SOURCES;POSIX_SOURCES;WIN32_SOURCES;LINKS;PRIVATE_LINKS"
    ${ARGN})
  set(sources ${ARG_SOURCES})
  if(WIN32)
    list(APPEND sources ${ARG_WIN32_SOURCES})
  else()
    list(APPEND sources ${ARG_POSIX_SOURCES})
  endif()
  add_library(${name} STATIC ${sources} ${ARG_PUBLIC_HEADERS} ${ARG_PRIVATE_HEADERS})

  set(public_root ${CMAKE_BINARY_DIR}/include/${name})
  set(private_root ${CMAKE_BINARY_DIR}/include-private/${name})
  file(REMOVE_RECURSE ${public_root} ${private_root}) # a header dropped from the lists goes too
  zkf_stage_headers(${public_root} ${ARG_FOLDER} ${ARG_PUBLIC_HEADERS})
  # Beside each other, since headers include their neighbours by bare name.
  zkf_stage_headers(${private_root} ${ARG_FOLDER} ${ARG_PUBLIC_HEADERS} ${ARG_PRIVATE_HEADERS})
  target_include_directories(${name}
    PUBLIC $<BUILD_INTERFACE:${public_root}> $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>
    PRIVATE ${private_root})
  target_link_libraries(${name} PUBLIC ${ARG_LINKS} PRIVATE ${ARG_PRIVATE_LINKS})

  add_library(${name}_internal INTERFACE)
  target_include_directories(${name}_internal INTERFACE ${private_root})
  target_link_libraries(${name}_internal INTERFACE ${name})

  if(ARG_EXPORT)
    add_library(ZKF780A::${ARG_EXPORT} ALIAS ${name})
    set_target_properties(${name} PROPERTIES EXPORT_NAME ${ARG_EXPORT}
                                             OUTPUT_NAME zkf780a-${ARG_EXPORT})
    install(TARGETS ${name} EXPORT ZKF780ATargets
            ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
    install(FILES ${ARG_PUBLIC_HEADERS}
            DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${ARG_FOLDER} COMPONENT dev)
  endif()
endfunction()
