# The libraries as the CMake package ZKF780A (component "dev", the zkf780a-dev package):
# headers under include/, static libraries under lib/, the package files under
# lib/cmake/ZKF780A/. The targets install themselves (zkf_add_library ... EXPORT).
include(CMakePackageConfigHelpers)
set(ZKF_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ZKF780A)
install(EXPORT ZKF780ATargets NAMESPACE ZKF780A:: DESTINATION ${ZKF_PACKAGE_DIR} COMPONENT dev)
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/ZKF780AConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/ZKF780AConfig.cmake INSTALL_DESTINATION ${ZKF_PACKAGE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/ZKF780AConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ZKF780AConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/ZKF780AConfigVersion.cmake
        DESTINATION ${ZKF_PACKAGE_DIR} COMPONENT dev)
