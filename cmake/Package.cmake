# The release package: `cpack -G ZIP` in the build directory (or
# scripts/make-release.sh) gives TikoClock-<version>-win64.zip with the
# program, the README with its screenshots, and the licence.
install(TARGETS TikoClock RUNTIME DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION .)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION docs FILES_MATCHING PATTERN "*.png")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME TikoClock)
set(CPACK_PACKAGE_VENDOR "Tiko Clock")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "A desktop clock widget for Windows")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME TikoClock-${PROJECT_VERSION}-win64)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${CMAKE_SOURCE_DIR}/README.md)
include(CPack)
