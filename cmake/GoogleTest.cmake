# GoogleTest for the tests: an installed one where the build finds it (the
# host's libgtest-dev for the native build), else built from a source folder,
# by default Debian's (package googletest). Either way the targets are
# GTest::gtest and GTest::gtest_main.
find_package(GTest QUIET)
if(NOT GTest_FOUND)
    set(BALDRIX_GTEST_SOURCE /usr/src/googletest CACHE PATH
        "GoogleTest's source folder, built when no installed GoogleTest is found")
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    add_subdirectory(${BALDRIX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
