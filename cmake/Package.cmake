# The release zip: the tool and its Chinese read-me, nothing else (no tests, no demo tables).
install(TARGETS quarnel2-patcher RUNTIME DESTINATION . COMPONENT player)
install(FILES ${PROJECT_SOURCE_DIR}/docs/使用说明.txt DESTINATION . COMPONENT player)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME quarnel2-patcher)
set(CPACK_PACKAGE_VENDOR "Quarnel2 patcher")
set(CPACK_PACKAGE_VERSION 1.00)
set(CPACK_PACKAGE_FILE_NAME quarnel2-patcher-1.00-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# Only the player's component goes in, whatever other parts of the build install.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};player;/")
# The zip's SHA-256 beside it, in sha256sum's format: quarnel2-patcher-1.00-win64.zip.sha256.
set(CPACK_PACKAGE_CHECKSUM SHA256)
# Every clean build gives the same zip: ReleaseZip.cmake makes it again from the staged files.
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/ReleaseZip.cmake)
set(CPACK_PATCH_SOURCE_DIR ${PROJECT_SOURCE_DIR})
include(CPack)
