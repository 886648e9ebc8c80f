# The installable library (component "devel"): headers under
# include/pictova/<layer>/, one static library per layer, a CMake package
# (find_package(Pictova) gives Pictova::pictova and Pictova::<layer>) and
# pictova.pc for pkg-config.
include(CMakePackageConfigHelpers)
set(PICTOVA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Pictova)

install(TARGETS pictova_library EXPORT PictovaTargets COMPONENT devel)
install(EXPORT PictovaTargets NAMESPACE Pictova:: DESTINATION ${PICTOVA_CMAKE_DIR}
        COMPONENT devel)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/PictovaConfig.cmake.in
    ${PROJECT_BINARY_DIR}/PictovaConfig.cmake INSTALL_DESTINATION ${PICTOVA_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/PictovaConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/PictovaConfig.cmake
              ${PROJECT_BINARY_DIR}/PictovaConfigVersion.cmake
        DESTINATION ${PICTOVA_CMAKE_DIR} COMPONENT devel)

# The libraries from the top layer down, as a static link wants them.
set(PICTOVA_PC_LIBS "-lpictova_app -lpictova_show -lpictova_movie -lpictova_media -lpictova_swf -lpictova_platform")
file(RELATIVE_PATH PICTOVA_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" PICTOVA_PC_TO_PREFIX "${PICTOVA_PC_TO_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/pictova.pc.in ${PROJECT_BINARY_DIR}/pictova.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/pictova.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT devel)
