# zev-cli's manual page, made at build time by help2man from the program's own
# --help and --version output, so the page never falls behind the help text.
# resources/zev-cli.h2m adds what the help text does not say (the name line,
# the files the program uses, related pages). Without help2man the build
# goes on without the page.

find_program(ZEV_HELP2MAN help2man DOC "help2man, which writes zev-cli's manual page")
if(NOT ZEV_HELP2MAN)
  message(STATUS "help2man not found: zev-cli's manual page is not built (Debian: apt-get install help2man)")
  return()
endif()

set(zev_man_source ${CMAKE_BINARY_DIR}/share/man/man1/zev-cli.1)
set(zev_man_include ${PROJECT_SOURCE_DIR}/resources/zev-cli.h2m)
# The help text is UTF-8 (it quotes the window's Chinese messages); under
# help2man's default C locale every such character would come out as '?'.
# gzip -n leaves the name and time out, so the same page makes the same file.
add_custom_command(
  OUTPUT ${zev_man_source}.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/share/man/man1
  COMMAND ${ZEV_HELP2MAN} --locale=C.UTF-8 --no-info --section=1 --include=${zev_man_include}
          --output=${zev_man_source} $<TARGET_FILE:zev-cli>
  COMMAND gzip -9nf ${zev_man_source}
  DEPENDS zev-cli ${zev_man_include}
  COMMENT "Writing zev-cli's manual page from its --help"
  VERBATIM)
add_custom_target(zev_cli_manpage ALL DEPENDS ${zev_man_source}.gz)

install(FILES ${zev_man_source}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
