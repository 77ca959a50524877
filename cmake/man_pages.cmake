# Manual pages of dornvel and dornvel-sim in section 1, made at build time by
# help2man from each program's --help and --version, with the extra sections in
# packaging/man/<program>.h2m. Needs help2man, and programs that run here.
find_program(DORNVEL_HELP2MAN help2man)
if(CMAKE_CROSSCOMPILING OR NOT DORNVEL_HELP2MAN)
  message(STATUS "No help2man, or programs that do not run here: the manual pages are not made")
  return()
endif()

# dornvel_man_page(<program target> <install component> <one-line description>)
function(dornvel_man_page program component description)
  if(NOT TARGET ${program})
    return()
  endif()
  set(include ${PROJECT_SOURCE_DIR}/packaging/man/${program}.h2m)
  set(page ${PROJECT_BINARY_DIR}/packaging/man/${program}.1)
  file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/packaging/man)
  # The page is English, whatever the builder's language.
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E env --unset=LANGUAGE LC_ALL=C.UTF-8 ${DORNVEL_HELP2MAN} --no-info --section=1 --name=${description} --include=${include}
      --output=${page} $<TARGET_FILE:${program}>
    # Debian wants manual pages compressed as hard as gzip can, without a timestamp.
    COMMAND gzip -9nf ${page}
    DEPENDS ${program} ${include}
    COMMENT "Manual page of ${program}"
    VERBATIM)
  add_custom_target(${program}-man-page ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${component})
endfunction()

dornvel_man_page(dornvel dornvel "test and set up an insulation-resistance meter over Modbus RTU")
dornvel_man_page(dornvel-sim sim "simulated insulation-resistance meter: a Modbus RTU slave on a pseudo-terminal")
