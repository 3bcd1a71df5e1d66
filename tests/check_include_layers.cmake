# Fails when a file includes one of ours that its folder may not use. This
# table is the one statement of who may include whom; the folders' READMEs
# repeat their own row.
#
# A row: a folder, then what its files may include besides the files of that
# folder itself: another folder (its files, not those of its subfolders), a
# single file, @core (the five core folders) or @port, the files of app/ that
# every folder may use; the port's own row keeps it to itself. A folder
# without a row (tests/, bench/, fuzz/) may include anything.
cmake_policy(SET CMP0057 NEW)
set(port app/UserInterface.h app/MessageTable.h app/IntegerText.h app/FileWrite.h app/Captions.h)
set(core device chipdb buffers fuses operations)
set(rules
  "@port: @port"
  "chipdb: @port"
  "device: @port chipdb/ChipEntry.h chipdb/ChipKey.h"
  "buffers: @port chipdb/ChipEntry.h"
  "fuses: @port chipdb/Xmlparser.h"
  "operations: @port device chipdb buffers fuses"
  "app: @core"
  "cli: @core app"
  "hexview: buffers/ByteView.h buffers/ByteSearch.h buffers/HexText.h buffers/ErasedArea.h"
  "chipdb/gui: @port chipdb buffers app/ProgramFiles.h app/gui/BoxPresenter.h"
  "buffers/gui: @port buffers app/gui/HexEntry.h"
  "operations/gui: @port operations"
  "app/gui: @core app hexview chipdb/gui buffers/gui operations/gui"
  "app/entry: @core app app/gui"
)

set(bad "")
foreach(rule ${rules})
  string(REGEX MATCH "^([^:]+): *(.*)$" _ "${rule}")
  set(folder "${CMAKE_MATCH_1}")
  string(REPLACE " " ";" allowed "${CMAKE_MATCH_2}")
  list(TRANSFORM allowed REPLACE "^@port$" "${port}")
  list(TRANSFORM allowed REPLACE "^@core$" "${core}")
  if(folder STREQUAL "@port")
    list(TRANSFORM port PREPEND "${ROOT}/" OUTPUT_VARIABLE files)
    set(who "the app/ port")
  else()
    file(GLOB files ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
    set(who "${folder}/")
  endif()
  if(NOT files)
    list(APPEND bad "${folder}: the table names a folder without sources")
  endif()
  foreach(f ${files})
    file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]*/[^\"]*\"")
    foreach(line ${lines})
      string(REGEX MATCH "\"([^\"]+)\"" _ "${line}")
      set(included "${CMAKE_MATCH_1}")
      get_filename_component(from "${included}" DIRECTORY)
      if(from STREQUAL folder OR included IN_LIST allowed OR from IN_LIST allowed)
        continue()
      endif()
      file(RELATIVE_PATH name ${ROOT} ${f})
      list(APPEND bad "${name} includes ${included}, which ${who} may not use")
    endforeach()
  endforeach()
endforeach()
if(bad)
  list(JOIN bad "\n" text)
  message(FATAL_ERROR "Includes against the folders' rules (tests/check_include_layers.cmake):\n${text}")
endif()
