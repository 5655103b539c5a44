# GoogleTest for every build. Native builds use CMake's own FindGTest (the distribution's libraries).
# A Windows cross build has no prebuilt GoogleTest, so it compiles the distribution's sources
# (libgtest-dev installs them under /usr/src/googletest) with the cross compiler, as part of the build.
if(NOT (WIN32 AND CMAKE_CROSSCOMPILING))
    include(${CMAKE_ROOT}/Modules/FindGTest.cmake)
    return()
endif()

set(TAVRO_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
if(NOT TARGET GTest::gtest)
    if(NOT EXISTS ${TAVRO_GOOGLETEST_SOURCE}/CMakeLists.txt)
        message(FATAL_ERROR "GoogleTest sources not found in ${TAVRO_GOOGLETEST_SOURCE} (install libgtest-dev)")
    endif()
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${TAVRO_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # Recent GoogleTest releases name their targets GTest::gtest themselves; older ones do not.
    if(NOT TARGET GTest::gtest)
        add_library(GTest::gtest ALIAS gtest)
        add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
endif()
set(GTest_FOUND TRUE)
set(GTEST_FOUND TRUE)
