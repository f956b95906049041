# The one-definition check: two different definitions of one type (two
# structs of one name in two files of the same namespace) compile and link
# without a word, and the program then runs with one of the two destructors,
# copy constructors or layouts where the other was meant. GCC sees the clash
# only when it merges the types of every file at a link-time-optimised link
# (-Wodr, an error here), and the linker reads from a static library only
# the objects a program needs. So this program links every library whole,
# and the desktop program's own classes beside them; zev-cli's main.cpp
# defines nothing outside an anonymous namespace.
#
#   cmake -S . -B build-odr -DZEV_ODR_CHECK=ON
#   cmake --build build-odr --target zev_odr_check
#
# scripts/test.sh runs it in a build folder of its own; the other targets of
# that folder are never built.
if(NOT ZEV_ODR_CHECK)
  return()
endif()

add_executable(zev_odr_check EXCLUDE_FROM_ALL
  ${PROJECT_SOURCE_DIR}/tests/odr/OneDefinitionCheck.cpp
  ${PROJECT_SOURCE_DIR}/app/AppDelegate.cpp
  ${PROJECT_SOURCE_DIR}/app/AppDelegate.h)
set_target_properties(zev_odr_check PROPERTIES AUTOMOC ON)
# The libraries by file between the whole-archive flags (CMake's
# WHOLE_ARCHIVE feature refuses a library that another one also links
# plainly), then as targets for their Qt libraries and build order; by then
# every object is in, so the second mention adds nothing.
set(zev_odr_libraries zev_engine zev_media zev_cli zev_window)
set(zev_odr_files)
foreach(library IN LISTS zev_odr_libraries)
  list(APPEND zev_odr_files $<TARGET_FILE:${library}>)
endforeach()
target_link_libraries(zev_odr_check PRIVATE
  -Wl,--whole-archive ${zev_odr_files} -Wl,--no-whole-archive ${zev_odr_libraries} zev_strict_strings)
