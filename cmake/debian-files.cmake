# Run by cpack on the staged files before it makes the Debian package: the programs stripped of
# their symbols and of the .comment and .note sections (as dh_strip does), the manual pages and
# the changelog compressed with gzip -9n (as dh_compress does), the changelog under Debian's name,
# and the package's lintian overrides (as dh_lintian installs them).
function(volarin_run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${ARGN}")
  endif()
endfunction()

# Every staged file, and those of them that match `regex`.
file(GLOB_RECURSE staged LIST_DIRECTORIES false ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*)
function(volarin_staged regex result)
  set(found ${staged})
  list(FILTER found INCLUDE REGEX "${regex}")
  set(${result} ${found} PARENT_SCOPE)
endfunction()

volarin_staged("/games/[^/]+$" programs)
foreach(program IN LISTS programs)
  volarin_run(${CPACK_VOLARIN_STRIP} --remove-section=.comment --remove-section=.note ${program})
endforeach()

volarin_staged("/man/man6/[^/]+[.]6$" compressed)
volarin_staged("/doc/volarin/changelog$" changelogs)
foreach(changelog IN LISTS changelogs)
  file(RENAME ${changelog} ${changelog}.Debian)
  list(APPEND compressed ${changelog}.Debian)
endforeach()
foreach(document IN LISTS compressed)
  volarin_run(gzip -9n ${document})
endforeach()
set(overrides ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/share/lintian/overrides)
file(MAKE_DIRECTORY ${overrides})
file(COPY_FILE ${CPACK_VOLARIN_LINTIAN_OVERRIDES} ${overrides}/volarin)
if(NOT programs OR NOT changelogs)
  message(FATAL_ERROR "no programs or changelog staged in ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
