# Helpers shared by every folder of the project.
include(GenerateExportHeader)

set(ZEP_GENERATED_INCLUDE ${CMAKE_BINARY_DIR}/include)
set_property(GLOBAL PROPERTY ZEP_LIBRARIES "")

# zep_library(NAME [SUBDIRS dir...] [DEPS lib...] [PRIVATE_DEPS lib...])
# A shared library from every .cpp of the calling folder and of the SUBDIRS named
# (tests/ excluded), with hidden visibility and an export header
# <folder>/<name>_export.h that defines <NAME>_EXPORT.
function(zep_library name)
  cmake_parse_arguments(ARG "" "" "SUBDIRS;DEPS;PRIVATE_DEPS" ${ARGN})
  set(patterns ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(dir ${ARG_SUBDIRS})
    list(APPEND patterns ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${patterns})
  add_library(${name} SHARED ${sources})
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  generate_export_header(${name}
    EXPORT_FILE_NAME ${ZEP_GENERATED_INCLUDE}/${rel}/${name}_export.h)
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR} ${ZEP_GENERATED_INCLUDE})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
  set_property(GLOBAL APPEND PROPERTY ZEP_LIBRARIES ${name})
endfunction()

# zep_tests(PREFIX LIBS lib...)
# Every tests/<topic>_test.cpp of the calling folder becomes its own GoogleTest
# program <PREFIX>_<topic>_test, so one topic's tests build and run on their own;
# every test case becomes a CTest test.
function(zep_tests prefix)
  if(NOT ZEP_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*_test.cpp)
  file(GLOB helpers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*_util.cpp)
  foreach(src ${sources})
    get_filename_component(topic ${src} NAME_WE)
    set(name ${prefix}_${topic})
    add_executable(${name} ${src} ${helpers})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
    target_compile_definitions(${name} PRIVATE
      ZEP_SOURCE_DIR="${CMAKE_SOURCE_DIR}" ZEP_TEST_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests"
      ZEP_BINARY_DIR="${CMAKE_BINARY_DIR}")
    gtest_discover_tests(${name}
      WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/tests
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 60
      PROPERTIES TIMEOUT 600)
  endforeach()
endfunction()
