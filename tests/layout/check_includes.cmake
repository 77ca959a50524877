# Fails when an #include crosses a folder the wrong way: the folders and what
# each may include are those of MAP (cmake/folder_map.cmake). Includes are
# rooted ("protocol/x.h"); one that climbs out of its folder ("../") is
# refused everywhere.
#   cmake -DROOT=<source tree> -DMAP=<folder map> -P check_includes.cmake
cmake_minimum_required(VERSION 3.25)
include("${MAP}")

set(crossings "")
foreach(folder IN LISTS dornvel_folders)
  if(folder STREQUAL "sim")
    set(dir "${ROOT}/sim")
  else()
    set(dir "${ROOT}/src/${folder}")
  endif()
  file(GLOB_RECURSE files "${dir}/*.h" "${dir}/*.cpp")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" included "${line}")
      string(REGEX MATCH "^[^/]*" first "${included}")
      if(included MATCHES "\\.\\./" OR NOT included MATCHES "/" OR NOT first IN_LIST dornvel_may_include_${folder})
        file(RELATIVE_PATH where "${ROOT}" "${file}")
        string(APPEND crossings "  ${where}: \"${included}\"\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(crossings)
  message(FATAL_ERROR "includes that cross a folder the wrong way (or are not rooted):\n${crossings}")
endif()
