# Fails when an engine source includes a Qt Gui or Qt Widgets header (the
# engine must build and run without any windowing system), or a header of an
# engine folder above its own: the folders form layers, so the engine has no
# include cycle and nothing in it reaches up to what a front end holds.
# From the top down; a new folder takes its place here.
set(layers session preview pipeline tools output frames storage core)
file(GLOB_RECURSE sources "${ENGINE_DIR}/*.h" "${ENGINE_DIR}/*.cpp")
set(offenders "")
foreach(source IN LISTS sources)
  file(RELATIVE_PATH relative "${ENGINE_DIR}" "${source}")
  string(REGEX REPLACE "/.*" "" folder "${relative}")
  list(FIND layers "${folder}" level)
  if(level LESS 0)
    list(APPEND offenders "${source}: ${folder}/ has no place among the layers")
  endif()
  file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS lines)
    if(line MATCHES "[<\"/](QtGui|QtWidgets|QWidget|QApplication|QGuiApplication|QMessageBox|QPushButton|QLabel|QColor|QPalette|QImage|QPixmap|QPainter)[/>\"]")
      list(APPEND offenders "${source}: ${line} (Qt Core only)")
    endif()
    if(line MATCHES "\"([a-z]+)/[^\"]+\"")
      list(FIND layers "${CMAKE_MATCH_1}" includedLevel)
      if(includedLevel GREATER_EQUAL 0 AND includedLevel LESS level)
        list(APPEND offenders "${source}: ${line} (${CMAKE_MATCH_1}/ lies above ${folder}/)")
      endif()
    endif()
  endforeach()
endforeach()
if(offenders)
  list(JOIN offenders "\n  " report)
  message(FATAL_ERROR "The engine uses Qt Core only, and each folder includes only the folders below it "
                      "(${layers}); found:\n  ${report}")
endif()
