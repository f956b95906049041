# The compiler options of every target, carried by one interface target that
# each library, program and test links.
#
#   ZEV_WARNINGS_AS_ERRORS  turn warnings into errors (CI does; a developer
#                           build keeps them as warnings)
#   ZEV_SANITIZE            build with AddressSanitizer and
#                           UndefinedBehaviorSanitizer
#   ZEV_TSAN                build with ThreadSanitizer (which cannot be
#                           combined with AddressSanitizer)
#   ZEV_ODR_CHECK           compile for link-time optimisation and offer the
#                           target zev_odr_check, whose link fails on two
#                           different definitions of one type
#                           (cmake/ZevOdrCheck.cmake)
option(ZEV_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)
option(ZEV_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(ZEV_TSAN "Build with ThreadSanitizer" OFF)
option(ZEV_ODR_CHECK "Build for the one-definition check (link-time optimisation)" OFF)
if(ZEV_SANITIZE AND ZEV_TSAN)
  message(FATAL_ERROR "ZEV_SANITIZE and ZEV_TSAN exclude each other: configure two build folders")
endif()
if(ZEV_ODR_CHECK AND (ZEV_SANITIZE OR ZEV_TSAN))
  message(FATAL_ERROR "ZEV_ODR_CHECK wants a build folder of its own, without sanitizers")
endif()
if(ZEV_ODR_CHECK)
  # Static libraries of LTO objects need an archiver that indexes them.
  set(CMAKE_AR ${CMAKE_CXX_COMPILER_AR})
  set(CMAKE_RANLIB ${CMAKE_CXX_COMPILER_RANLIB})
endif()

add_library(zev_compile_options INTERFACE)
# Left out on purpose:
#   -Wconversion, -Wsign-conversion: Qt's containers count in qsizetype and
#     its widgets in int; the casts they would demand hide more than they show.
#   -Wnull-dereference: at -O2 GCC 12 reports paths inside Qt's and the
#     standard library's inline code that cannot happen.
#   -Wuseless-cast: Qt's macros (qOverload, Q_OBJECT) cast to the same type.
target_compile_options(zev_compile_options INTERFACE
  -Wall -Wextra -Wpedantic
  -Wshadow
  -Wnon-virtual-dtor
  -Wold-style-cast
  -Woverloaded-virtual
  -Wcast-qual
  -Wformat=2
  -Wimplicit-fallthrough
  -Wmissing-declarations
  $<$<BOOL:${ZEV_WARNINGS_AS_ERRORS}>:-Werror>)
# Qt's strictness: no keywords that clash with other libraries, no silent
# conversions between bytes and text or text and URLs, no narrowing in
# connections, no foreach or Java-style iterators.
target_compile_definitions(zev_compile_options INTERFACE
  QT_NO_KEYWORDS
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_CAST_TO_ASCII
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_FOREACH
  QT_NO_JAVA_STYLE_ITERATORS)

# gold links the tests' large static programs in less than half of ld's
# time (ld.bfd stays where gold is missing).
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=gold ZEV_HAS_GOLD)
if(ZEV_HAS_GOLD)
  target_link_options(zev_compile_options INTERFACE -fuse-ld=gold)
endif()

if(ZEV_SANITIZE)
  set(zev_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_compile_options(zev_compile_options INTERFACE ${zev_sanitizers})
  target_link_options(zev_compile_options INTERFACE ${zev_sanitizers})
endif()
if(ZEV_TSAN)
  set(zev_sanitizers -fsanitize=thread -fno-omit-frame-pointer)
  target_compile_options(zev_compile_options INTERFACE ${zev_sanitizers})
  target_link_options(zev_compile_options INTERFACE ${zev_sanitizers})
  # Every program starts its tools as forks the checker can follow (see the
  # file); whole, since nothing in the program calls it by name.
  add_library(zev_tsan_fork STATIC ${PROJECT_SOURCE_DIR}/tests/sanitizers/ForkInsteadOfVfork.cpp)
  target_link_libraries(zev_compile_options INTERFACE "$<LINK_LIBRARY:WHOLE_ARCHIVE,zev_tsan_fork>")
endif()

if(ZEV_ODR_CHECK)
  # Only the link's type merging matters here, not the code: no
  # optimisation and no debug information (after the build type's flags, so
  # these win), which keeps the check's build cheap.
  target_compile_options(zev_compile_options INTERFACE -flto -O0 -g0)
  target_link_options(zev_compile_options INTERFACE -flto=auto -O0 -Werror=odr -Werror=lto-type-mismatch)
endif()

# The application's own code also spells out every conversion from a C
# string to QString (QStringLiteral, QLatin1String), so the encoding of each
# text is decided where it is written. The tests keep plain literals, which
# read better in tables of expected texts.
add_library(zev_strict_strings INTERFACE)
target_compile_definitions(zev_strict_strings INTERFACE QT_NO_CAST_FROM_ASCII)
