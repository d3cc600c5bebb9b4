# Helpers shared by every folder of the project.
include(GenerateExportHeader)

set(ZEP_GENERATED_INCLUDE ${CMAKE_BINARY_DIR}/include)
set_property(GLOBAL PROPERTY ZEP_LIBRARIES "")

# The leak checker's suppressions for every program the build runs under the sanitizers:
# cmake/sanitizer/lsan.supp compiled into the program, so that CTest, a fuzz replay and a
# program started by hand see the same list.
set(ZEP_LSAN_FILE ${CMAKE_SOURCE_DIR}/cmake/sanitizer/lsan.supp)
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ZEP_LSAN_FILE})
file(READ ${ZEP_LSAN_FILE} ZEP_LSAN_SUPPRESSIONS)
configure_file(${CMAKE_SOURCE_DIR}/cmake/sanitizer/leak_suppressions.cpp.in
               ${CMAKE_BINARY_DIR}/sanitizer/leak_suppressions.cpp @ONLY)
add_library(zep_leak_suppressions OBJECT ${CMAKE_BINARY_DIR}/sanitizer/leak_suppressions.cpp)
# Whole allocation stacks for programs that render text (see full_stacks.cpp).
add_library(zep_full_stacks OBJECT ${CMAKE_SOURCE_DIR}/cmake/sanitizer/full_stacks.cpp)

# zep_sanitizer_defaults(TARGET [FONTS])
# Links the leak suppressions into a program; FONTS for one that renders text.
function(zep_sanitizer_defaults target)
  cmake_parse_arguments(ARG "FONTS" "" "" ${ARGN})
  target_link_libraries(${target} PRIVATE zep_leak_suppressions)
  if(ARG_FONTS)
    target_link_libraries(${target} PRIVATE zep_full_stacks)
  endif()
endfunction()

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

# zep_tests(PREFIX LIBS lib... [FONTS])
# Every tests/<topic>_test.cpp of the calling folder becomes its own GoogleTest
# program <PREFIX>_<topic>_test, so one topic's tests build and run on their own;
# every test case becomes a CTest test labelled PREFIX. FONTS: the programs render
# text: they take the pinned font configuration (cmake/testing/pinned_fonts.cpp) and
# whole allocation stacks (see zep_sanitizer_defaults).
function(zep_tests prefix)
  if(NOT ZEP_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "FONTS" "" "LIBS" ${ARGN})
  set(fonts "")
  set(helpers "")
  if(ARG_FONTS)
    set(fonts FONTS)
    list(APPEND helpers ${CMAKE_SOURCE_DIR}/cmake/testing/pinned_fonts.cpp)
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*_test.cpp)
  file(GLOB local_helpers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*_util.cpp)
  list(APPEND helpers ${local_helpers})
  foreach(src ${sources})
    get_filename_component(topic ${src} NAME_WE)
    set(name ${prefix}_${topic})
    add_executable(${name} ${src} ${helpers})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
    zep_sanitizer_defaults(${name} ${fonts})
    target_compile_definitions(${name} PRIVATE
      ZEP_SOURCE_DIR="${CMAKE_SOURCE_DIR}" ZEP_TEST_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests"
      ZEP_BINARY_DIR="${CMAKE_BINARY_DIR}")
    gtest_discover_tests(${name}
      WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/tests
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 60
      PROPERTIES TIMEOUT 600 LABELS ${prefix})
  endforeach()
endfunction()
