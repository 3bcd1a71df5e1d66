# Fails when a file of the GUI-free core includes a widget or painting header.
file(GLOB core_files
  ${ROOT}/device/*.h ${ROOT}/device/*.cpp ${ROOT}/operations/*.h ${ROOT}/operations/*.cpp
  ${ROOT}/chipdb/*.h ${ROOT}/chipdb/*.cpp ${ROOT}/buffers/*.h ${ROOT}/buffers/*.cpp
  ${ROOT}/fuses/*.h ${ROOT}/fuses/*.cpp ${ROOT}/app/*.h ${ROOT}/app/*.cpp ${ROOT}/cli/*.h ${ROOT}/cli/*.cpp)
set(bad "")
foreach(f ${core_files})
  file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*<(QtWidgets|QtGui|QWidget|QApplication|QMessageBox|QPainter|QImage|QPixmap|QColor|QFont)")
  if(lines)
    list(APPEND bad "${f}: ${lines}")
  endif()
endforeach()
if(bad)
  message(FATAL_ERROR "GUI headers in the core:\n${bad}")
endif()
