# GoogleTest for the tests: the installed one (libgtest-dev), or else built here
# from its sources (Debian's googletest package puts them in /usr/src/googletest),
# which is how a cross-build gets a GoogleTest for its target.
find_package(GTest QUIET)
if(NOT GTest_FOUND)
  set(DORNVEL_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources, used when no GoogleTest is installed for the target")
  if(NOT EXISTS ${DORNVEL_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "The tests need GoogleTest: install libgtest-dev (or its sources, "
      "googletest, into DORNVEL_GOOGLETEST_SOURCE), or configure with -DBUILD_TESTING=OFF")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${DORNVEL_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()
include(GoogleTest)
