include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

get_property(tapwise_layer_targets GLOBAL PROPERTY TAPWISE_LAYER_TARGETS)
install(TARGETS ${tapwise_layer_targets} tapwise
        EXPORT tapwiseTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/tapwise DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT tapwiseTargets NAMESPACE tapwise:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/tapwise)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/tapwiseConfig.cmake.in
  ${PROJECT_BINARY_DIR}/tapwiseConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/tapwise)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/tapwiseConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/tapwiseConfig.cmake ${PROJECT_BINARY_DIR}/tapwiseConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/tapwise)

# tapwise.pc for builds without CMake. The linker wants a library before the ones it uses,
# so the layers go top first. The paths are relative to the .pc file itself, so that the
# package may be installed under another prefix (cmake --install --prefix) or moved.
set(tapwise_pc_libs)
foreach(target IN LISTS tapwise_layer_targets)
  get_target_property(type ${target} TYPE)
  if(NOT type STREQUAL "INTERFACE_LIBRARY")
    list(PREPEND tapwise_pc_libs -l${target})
  endif()
endforeach()
list(JOIN tapwise_pc_libs " " tapwise_pc_libs)
file(RELATIVE_PATH tapwise_pc_prefix ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" tapwise_pc_prefix ${tapwise_pc_prefix})
file(RELATIVE_PATH tapwise_pc_libdir ${CMAKE_INSTALL_PREFIX} ${CMAKE_INSTALL_FULL_LIBDIR})
file(RELATIVE_PATH tapwise_pc_includedir ${CMAKE_INSTALL_PREFIX} ${CMAKE_INSTALL_FULL_INCLUDEDIR})
configure_file(${PROJECT_SOURCE_DIR}/cmake/tapwise.pc.in ${PROJECT_BINARY_DIR}/tapwise.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tapwise.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
