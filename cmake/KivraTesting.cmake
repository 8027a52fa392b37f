# Test helpers shared by every test folder.
#
# kivra_add_gtest(<group> SOURCES ... [LIBS ...])
#   builds the GoogleTest executable test_<group> and registers each of its tests
#   with CTest as "<group>.<Suite>.<Test>", so that `ctest -R <group>` runs the group.
include(CTest)
include(GoogleTest)

if(BUILD_TESTING AND NOT KIVRA_FUZZ)
  if(KIVRA_M32)
    # Debian ships GoogleTest as 64-bit libraries only: build it from its sources.
    if(NOT TARGET gtest_main)
      add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    endif()
    set(KIVRA_GTEST_LIBS gtest_main gmock)
  else()
    find_package(GTest REQUIRED)
    set(KIVRA_GTEST_LIBS GTest::gtest_main GTest::gmock)
  endif()
endif()

# kivra_sanitizer_support(<target>)
#   in the sanitizer builds, links the suppressions every test program shares into <target>
#   (for test programs made without kivra_add_gtest).
function(kivra_sanitizer_support target)
  if(KIVRA_SANITIZE OR KIVRA_TSAN)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/sanitizer_suppressions.cpp)
  endif()
endfunction()

function(kivra_add_gtest group)
  if(NOT BUILD_TESTING OR KIVRA_FUZZ)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(test_${group} ${T_SOURCES})
  target_link_libraries(test_${group} PRIVATE ${T_LIBS} ${KIVRA_GTEST_LIBS})
  kivra_sanitizer_support(test_${group})
  gtest_discover_tests(test_${group}
    TEST_PREFIX "${group}."
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${group} ${T_PROPERTIES})
endfunction()
