# Gives `target` an include root that holds only the folder it is built from,
# as "<folder>/x.h": code that links the library includes its headers so, and
# code that does not link it cannot reach them. Where no symbolic link can be
# made (Windows without the right), the folder's parent is the root instead.
function(dornvel_include_root target)
  get_filename_component(folder "${CMAKE_CURRENT_SOURCE_DIR}" NAME)
  set(root "${PROJECT_BINARY_DIR}/include-roots/${target}")
  if(NOT EXISTS "${root}/${folder}")
    file(MAKE_DIRECTORY "${root}")
    file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}" "${root}/${folder}" RESULT failed SYMBOLIC)
    if(failed)
      get_filename_component(root "${CMAKE_CURRENT_SOURCE_DIR}" DIRECTORY)
    endif()
  endif()
  target_include_directories(${target} PUBLIC "${root}")
endfunction()
