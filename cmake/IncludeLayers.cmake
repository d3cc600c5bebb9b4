# Fails when a source includes a header of a library above its own. Run as
#   cmake -DROOT=<checkout> -P cmake/IncludeLayers.cmake
# Each line of the table: a folder, then the folders its sources and tests may include.
# Quoted includes outside the project's folders (a test's own fixture header) are local.
cmake_minimum_required(VERSION 3.25)
set(layers
  "corekit|corekit"
  "platform/devkit|corekit platform/devkit"
  "platform/dockit|corekit platform/devkit platform/dockit"
  "platform/panekit|corekit platform/devkit platform/dockit platform/panekit"
  "platform/scriptkit|corekit platform/devkit platform/dockit platform/scriptkit"
  "pagekit|corekit platform/devkit platform/dockit platform/panekit pagekit"
  "datakit|corekit platform/devkit platform/dockit platform/panekit platform/scriptkit pagekit datakit"
  "cardkit|cardkit")
set(project_folders corekit platform pagekit shellkit datakit browser cardkit)

set(failures "")
foreach(layer ${layers})
  string(REPLACE "|" ";" parts "${layer}")
  list(GET parts 0 folder)
  list(GET parts 1 allowed)
  string(REPLACE " " ";" allowed "${allowed}")
  file(GLOB_RECURSE sources ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
  foreach(source ${sources})
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${includes})
      string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" path "${line}")
      string(REGEX MATCH "^[a-z]+" top "${path}")
      if(NOT top IN_LIST project_folders OR NOT path MATCHES "/")
        continue()
      endif()
      set(ok FALSE)
      foreach(prefix ${allowed})
        string(FIND "${path}" "${prefix}/" at)
        if(at EQUAL 0)
          set(ok TRUE)
        endif()
      endforeach()
      if(NOT ok)
        file(RELATIVE_PATH rel ${ROOT} ${source})
        string(APPEND failures "  ${rel} includes ${path}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(failures)
  message(FATAL_ERROR "Includes that reach a library above their own:\n${failures}")
endif()
