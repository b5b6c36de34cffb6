# The release archive: `cmake --build --preset win32 --target package` makes
# bALDRIX-0.1-win32.zip with the program, the user's README and the licence,
# all in one folder. The program needs nothing else: its runtime is linked in.

install(TARGETS bALDRIX RUNTIME DESTINATION . COMPONENT application)

# The texts are read on Windows, where Notepad of older systems shows LF-only
# files as one long line: they go into the archive with CR LF.
set(BALDRIX_PACKAGE_TEXTS ${CMAKE_BINARY_DIR}/package-texts)
configure_file(${CMAKE_SOURCE_DIR}/docs/README.txt ${BALDRIX_PACKAGE_TEXTS}/README.txt
               @ONLY NEWLINE_STYLE CRLF)
configure_file(${CMAKE_SOURCE_DIR}/LICENSE.txt ${BALDRIX_PACKAGE_TEXTS}/LICENSE.txt
               @ONLY NEWLINE_STYLE CRLF)
install(FILES ${BALDRIX_PACKAGE_TEXTS}/README.txt ${BALDRIX_PACKAGE_TEXTS}/LICENSE.txt
        DESTINATION . COMPONENT application)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(BALDRIX_PLATFORM win32)
else()
    set(BALDRIX_PLATFORM win64)
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME bALDRIX)
set(CPACK_PACKAGE_VENDOR "the bALDRIX authors")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
set(CPACK_PACKAGE_FILE_NAME "bALDRIX-${CPACK_PACKAGE_VERSION}-${BALDRIX_PLATFORM}")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE.txt)
# Only the program's own component: the test build's libraries stay out.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};bALDRIX;application;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
