# Finds the two external programs the conversion runs and checks they are the
# real thing:
#   ZEV_IMAGEMAGICK_CONVERT  ImageMagick's convert (Debian: convert-im6.q16)
#   ZEV_FFMPEG               an ffmpeg that has the libx264 encoder
# Either may be given on the command line (-DZEV_FFMPEG=/opt/ffmpeg/bin/ffmpeg);
# it is checked all the same. Configuring fails when a program is missing or
# is not what it claims: a machine may have some other program called
# "convert" early on PATH, so a bare "convert" is only taken from the system
# folders, and only a compiled program (no script in front of the real one)
# is accepted, because the children must not run through a shell.

# Sets <result> to TRUE when <program> is a compiled (ELF) executable.
function(zev_is_compiled_program program result)
  file(REAL_PATH "${program}" real)
  set(${result} FALSE PARENT_SCOPE)
  if(EXISTS "${real}" AND NOT IS_DIRECTORY "${real}")
    file(READ "${real}" magic LIMIT 4 HEX)
    if(magic STREQUAL "7f454c46")
      set(${result} TRUE PARENT_SCOPE)
    endif()
  endif()
endfunction()

# Sets <result> to the reason <program> is refused, or to "" when it is the
# real ImageMagick.
function(zev_check_imagemagick program result)
  zev_is_compiled_program("${program}" compiled)
  if(NOT compiled)
    set(${result} "${program} is not a compiled program" PARENT_SCOPE)
    return()
  endif()
  execute_process(COMMAND "${program}" -version
    OUTPUT_VARIABLE out ERROR_QUIET RESULT_VARIABLE status TIMEOUT 30)
  if(NOT status EQUAL 0 OR NOT out MATCHES "ImageMagick")
    set(${result} "${program} -version does not print \"ImageMagick\"" PARENT_SCOPE)
    return()
  endif()
  set(${result} "" PARENT_SCOPE)
endfunction()

# Sets <result> to the reason <program> is refused, or to "" when it is an
# ffmpeg with libx264.
function(zev_check_ffmpeg program result)
  zev_is_compiled_program("${program}" compiled)
  if(NOT compiled)
    set(${result} "${program} is not a compiled program" PARENT_SCOPE)
    return()
  endif()
  execute_process(COMMAND "${program}" -version
    OUTPUT_VARIABLE version ERROR_QUIET RESULT_VARIABLE status TIMEOUT 30)
  if(NOT status EQUAL 0 OR NOT version MATCHES "^ffmpeg version")
    set(${result} "${program} -version does not print \"ffmpeg version\"" PARENT_SCOPE)
    return()
  endif()
  execute_process(COMMAND "${program}" -hide_banner -encoders
    OUTPUT_VARIABLE out ERROR_QUIET RESULT_VARIABLE status TIMEOUT 30)
  if(NOT status EQUAL 0 OR NOT out MATCHES "libx264")
    set(${result} "${program} -encoders does not list libx264" PARENT_SCOPE)
    return()
  endif()
  set(${result} "" PARENT_SCOPE)
endfunction()

# Stops configuring with the message given in pieces after <variable>,
# forgetting the cached <variable> so the next run searches again (for
# example after installing the package).
function(zev_refuse_tool variable)
  unset(${variable} CACHE)
  list(JOIN ARGN "" text)
  message(FATAL_ERROR "${text}")
endfunction()

find_program(ZEV_IMAGEMAGICK_CONVERT NAMES convert-im6.q16 convert-im6
  DOC "ImageMagick's convert program, run by the ImageMagick launcher")
if(NOT ZEV_IMAGEMAGICK_CONVERT)
  unset(ZEV_IMAGEMAGICK_CONVERT CACHE)
  find_program(ZEV_IMAGEMAGICK_CONVERT NAMES convert PATHS /usr/bin /bin NO_DEFAULT_PATH
    DOC "ImageMagick's convert program, run by the ImageMagick launcher")
endif()
if(NOT ZEV_IMAGEMAGICK_CONVERT)
  zev_refuse_tool(ZEV_IMAGEMAGICK_CONVERT
    "ImageMagick's convert was not found (looked for convert-im6.q16, convert-im6, and convert in /usr/bin). "
    "Install it (Debian: apt-get install imagemagick) or pass -DZEV_IMAGEMAGICK_CONVERT=<path>.")
endif()
zev_check_imagemagick("${ZEV_IMAGEMAGICK_CONVERT}" refusal)
if(refusal)
  zev_refuse_tool(ZEV_IMAGEMAGICK_CONVERT
    "${ZEV_IMAGEMAGICK_CONVERT} cannot serve as ImageMagick's convert: ${refusal}. "
    "Install ImageMagick (Debian: apt-get install imagemagick) or pass -DZEV_IMAGEMAGICK_CONVERT=<path>.")
endif()

find_program(ZEV_FFMPEG NAMES ffmpeg DOC "FFmpeg's ffmpeg program, run by the FFmpeg launcher")
if(NOT ZEV_FFMPEG)
  zev_refuse_tool(ZEV_FFMPEG
    "ffmpeg was not found. Install it (Debian: apt-get install ffmpeg) or pass -DZEV_FFMPEG=<path>.")
endif()
zev_check_ffmpeg("${ZEV_FFMPEG}" refusal)
if(refusal)
  zev_refuse_tool(ZEV_FFMPEG
    "${ZEV_FFMPEG} cannot serve as the video encoder: ${refusal}. "
    "Install an ffmpeg built with libx264 (Debian: apt-get install ffmpeg) or pass -DZEV_FFMPEG=<path>.")
endif()

message(STATUS "ImageMagick convert: ${ZEV_IMAGEMAGICK_CONVERT}")
message(STATUS "FFmpeg: ${ZEV_FFMPEG}")
