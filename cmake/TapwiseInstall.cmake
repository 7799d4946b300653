include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS tapwise_foundation tapwise_fuzzy tapwise_language tapwise_control tapwise_faucet tapwise
        EXPORT tapwiseTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/tapwise DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT tapwiseTargets NAMESPACE tapwise:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/tapwise)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/tapwiseConfig.cmake.in
  ${PROJECT_BINARY_DIR}/tapwiseConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/tapwise)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/tapwiseConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/tapwiseConfig.cmake ${PROJECT_BINARY_DIR}/tapwiseConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/tapwise)
