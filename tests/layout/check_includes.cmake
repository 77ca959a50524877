# Fails when an #include crosses a folder the wrong way. The folders of the
# program depend one way only:
#   app -> ui -> tags -> protocol;  platform -> protocol;  app -> platform;
#   ui -> readings;  app -> readings;
# and the simulator stands alone. Includes are rooted ("protocol/x.h"); one
# that climbs out of its folder ("../") is refused everywhere.
#   cmake -DROOT=<source tree> -P check_includes.cmake
cmake_minimum_required(VERSION 3.25)
set(allowed_protocol protocol)
set(allowed_tags tags protocol)
set(allowed_platform platform protocol)
set(allowed_readings readings)
set(allowed_ui ui tags protocol readings)
set(allowed_app app ui tags protocol platform readings)
set(allowed_sim sim)

set(crossings "")
foreach(folder protocol tags readings platform ui app sim)
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
      if(included MATCHES "\\.\\./" OR NOT included MATCHES "/" OR NOT first IN_LIST allowed_${folder})
        file(RELATIVE_PATH where "${ROOT}" "${file}")
        string(APPEND crossings "  ${where}: \"${included}\"\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(crossings)
  message(FATAL_ERROR "includes that cross a folder the wrong way (or are not rooted):\n${crossings}")
endif()
