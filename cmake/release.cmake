# The release the build makes: its version is the project's, and its date is
# that of the newest entry of packaging/changelog, which must be this version's
# (the packages carry the changelog, the AppStream metadata the date).
set(DORNVEL_CHANGELOG ${PROJECT_SOURCE_DIR}/packaging/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${DORNVEL_CHANGELOG})
file(READ ${DORNVEL_CHANGELOG} dornvel_changelog)
string(REGEX MATCH "^dornvel \\(([^)]+)\\)" dornvel_entry "${dornvel_changelog}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/changelog begins with version '${CMAKE_MATCH_1}', "
    "the project is ${PROJECT_VERSION}: add an entry for this release")
endif()
set(dornvel_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
# The sign-off of that entry: " -- name <address>  Tue, 08 Dec 2026 12:00:00 +0000".
string(REGEX MATCH "\n -- [^\n]*  [A-Z][a-z][a-z], ([0-9]?[0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) "
  dornvel_signoff "${dornvel_changelog}")
set(dornvel_day ${CMAKE_MATCH_1})
set(dornvel_year ${CMAKE_MATCH_3})
list(FIND dornvel_months "${CMAKE_MATCH_2}" dornvel_month)
if(NOT dornvel_signoff OR dornvel_month EQUAL -1)
  message(FATAL_ERROR "packaging/changelog: no date in the sign-off line of the newest entry")
endif()
math(EXPR dornvel_month "${dornvel_month} + 1")
string(REGEX REPLACE "^([0-9])$" "0\\1" dornvel_month ${dornvel_month})
string(REGEX REPLACE "^([0-9])$" "0\\1" dornvel_day ${dornvel_day})
set(DORNVEL_RELEASE_DATE "${dornvel_year}-${dornvel_month}-${dornvel_day}")
