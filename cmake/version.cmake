# The version in one place: project()'s. The header, the window titles, the page, the manual
# pages, the desktop metadata and the Windows files are written from it; the Debian changelog
# names it too, so a top entry of another version stops the build before anything ships.
set(VOLARIN_TITLE "Volarin ver${PROJECT_VERSION}")

set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG)
file(STRINGS ${PROJECT_SOURCE_DIR}/CHANGELOG changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^volarin \\(([0-9.]+)-([0-9]+)\\) ")
  message(FATAL_ERROR "CHANGELOG: the first line names no version-revision: ${changelog_top}")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "CHANGELOG's top entry is ${CMAKE_MATCH_1} but the project is "
                      "${PROJECT_VERSION}: give the new version its entry")
endif()
# The package's revision: 1 for the first packaging of a version.
set(VOLARIN_PACKAGE_REVISION ${CMAKE_MATCH_2})

# The release date, as the manual pages and the metadata give it (2026-12-06), from the top
# entry's trailer (" -- Name <address>  Sun, 06 Dec 2026 16:00:00 +0000").
file(STRINGS ${PROJECT_SOURCE_DIR}/CHANGELOG changelog_trailers REGEX "^ -- ")
list(GET changelog_trailers 0 changelog_trailer)
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
if(NOT changelog_trailer MATCHES ">  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "CHANGELOG: the top entry's trailer has no date: ${changelog_trailer}")
endif()
list(FIND months ${CMAKE_MATCH_2} month)
if(month LESS 0)
  message(FATAL_ERROR "CHANGELOG: no such month ${CMAKE_MATCH_2}")
endif()
math(EXPR month "${month} + 1" OUTPUT_FORMAT DECIMAL)
string(LENGTH ${month} digits)
if(digits EQUAL 1)
  set(month 0${month})
endif()
set(VOLARIN_RELEASE_DATE ${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1})

# For the code: "resources/version.h". For the scripts and tests that look for the window or
# check the files: the version and the title, each alone in a file at the build's top.
configure_file(${PROJECT_SOURCE_DIR}/resources/version.h.in
               ${PROJECT_BINARY_DIR}/generated/resources/version.h @ONLY)
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/version.txt CONTENT "${PROJECT_VERSION}\n")
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/title.txt CONTENT "${VOLARIN_TITLE}\n")
