# Finds the external programs the conversion runs and checks they are the
# real thing:
#   ZEV_IMAGEMAGICK_CONVERT  ImageMagick's convert (Debian: convert-im6.q16)
#   ZEV_FFMPEG               an ffmpeg that has the libx264 encoder
#   ZEV_FFPROBE              ffprobe, which reads the written video back
# Any of them may be given on the command line (-DZEV_FFMPEG=/opt/ffmpeg/bin/ffmpeg);
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

# Sets <result> to the reason <program> is refused, or to "" when it passes:
# it must be a compiled program, and for every <option> <pattern> pair that
# follows, "<program> <option>" must exit 0 and print text matching <pattern>.
function(zev_check_program program result)
  zev_is_compiled_program("${program}" compiled)
  if(NOT compiled)
    set(${result} "${program} is not a compiled program" PARENT_SCOPE)
    return()
  endif()
  set(checks ${ARGN})
  while(checks)
    list(POP_FRONT checks option pattern)
    execute_process(COMMAND "${program}" ${option}
      OUTPUT_VARIABLE out ERROR_QUIET RESULT_VARIABLE status TIMEOUT 30)
    if(NOT status EQUAL 0 OR NOT out MATCHES "${pattern}")
      set(${result} "${program} ${option} does not print \"${pattern}\"" PARENT_SCOPE)
      return()
    endif()
  endwhile()
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
zev_check_program("${ZEV_IMAGEMAGICK_CONVERT}" refusal -version "ImageMagick")
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
# ffprobe lists the encoders too; only ffmpeg calls itself "ffmpeg version".
zev_check_program("${ZEV_FFMPEG}" refusal -version "^ffmpeg version" -encoders "libx264")
if(refusal)
  zev_refuse_tool(ZEV_FFMPEG
    "${ZEV_FFMPEG} cannot serve as the video encoder: ${refusal}. "
    "Install an ffmpeg built with libx264 (Debian: apt-get install ffmpeg) or pass -DZEV_FFMPEG=<path>.")
endif()

# ffprobe from the same FFmpeg as ffmpeg when there is one beside it, so the
# video is read back by the build that wrote it.
get_filename_component(zev_ffmpeg_folder "${ZEV_FFMPEG}" DIRECTORY)
find_program(ZEV_FFPROBE NAMES ffprobe PATHS "${zev_ffmpeg_folder}" NO_DEFAULT_PATH
  DOC "FFmpeg's ffprobe program, run by the ffprobe launcher")
if(NOT ZEV_FFPROBE)
  unset(ZEV_FFPROBE CACHE)
  find_program(ZEV_FFPROBE NAMES ffprobe DOC "FFmpeg's ffprobe program, run by the ffprobe launcher")
endif()
if(NOT ZEV_FFPROBE)
  zev_refuse_tool(ZEV_FFPROBE
    "ffprobe was not found. Install it (Debian: apt-get install ffmpeg) or pass -DZEV_FFPROBE=<path>.")
endif()
zev_check_program("${ZEV_FFPROBE}" refusal -version "^ffprobe version")
if(refusal)
  zev_refuse_tool(ZEV_FFPROBE
    "${ZEV_FFPROBE} cannot serve as the video checker: ${refusal}. "
    "Install FFmpeg's ffprobe (Debian: apt-get install ffmpeg) or pass -DZEV_FFPROBE=<path>.")
endif()

message(STATUS "ImageMagick convert: ${ZEV_IMAGEMAGICK_CONVERT}")
message(STATUS "FFmpeg: ${ZEV_FFMPEG}")
message(STATUS "ffprobe: ${ZEV_FFPROBE}")
