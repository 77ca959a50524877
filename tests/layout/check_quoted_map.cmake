# Fails unless DOC quotes the folder map MAP whole, between ```cmake and ```:
# the guide shows the map and keeps no copy of its own that could drift.
#   cmake -DMAP=<folder map> -DDOC=<guide> -P check_quoted_map.cmake
cmake_minimum_required(VERSION 3.25)
file(READ "${MAP}" map)
file(READ "${DOC}" doc)
# A checkout with CR LF line ends has them in both files.
string(REPLACE "\r" "" map "${map}")
string(REPLACE "\r" "" doc "${doc}")
string(FIND "${doc}" "```cmake\n${map}```\n" at)
if(at LESS 0)
  message(FATAL_ERROR "${DOC} does not quote ${MAP} as it is: copy the file between ```cmake and ```")
endif()
