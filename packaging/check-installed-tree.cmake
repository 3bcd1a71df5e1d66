# Installs the build tree as the package lays it out (prefix /usr, under a
# staging folder) and checks that the installed programs find their shipped
# data and that every file is where desktops, udev and users look for it.
# Run with cmake -P; BUILD, WORK, VERSION, APP_ID, ICON_SIZES, UDEV_RULES_DIR,
# WITH_GUI, DESKTOP_FILE_VALIDATE, APPSTREAMCLI come from the test.

cmake_minimum_required(VERSION 3.25)
set(failures 0)
macro(fail)
  string(JOIN "" text ${ARGN})
  message(SEND_ERROR "${text}")
  math(EXPR failures "${failures} + 1")
endmacro()

file(REMOVE_RECURSE ${WORK})
set(root ${WORK}/root)
set(usr ${root}/usr)
set(home ${WORK}/home)
file(MAKE_DIRECTORY ${home})

execute_process(
  COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${root} ${CMAKE_COMMAND} --install ${BUILD} --prefix /usr
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}${err}")
endif()

# Layout: programs, shipped data, desktop files, icons, udev rule, docs.
set(expected
  bin/ktr4180-cli
  share/ktr4180/ktr4180.Dat
  share/ktr4180/xml/0.xml
  share/applications/${APP_ID}.desktop
  share/metainfo/${APP_ID}.metainfo.xml
  share/icons/hicolor/scalable/apps/ktr4180.svg
  ${UDEV_RULES_DIR}/60-ktr4180.rules
  share/doc/ktr4180/README.md
  share/doc/ktr4180/copyright
  share/doc/ktr4180/changelog.gz
  share/man/man1/ktr4180-cli.1.gz
  share/bash-completion/completions/ktr4180-cli)
if(WITH_GUI)
  list(APPEND expected bin/ktr4180 share/man/man1/ktr4180.1.gz)
endif()
foreach(size IN LISTS ICON_SIZES)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/ktr4180.png)
endforeach()
foreach(path IN LISTS expected)
  if(NOT EXISTS ${usr}/${path})
    fail("missing from the installed tree: ${path}")
  endif()
endforeach()
# Nothing but the programs in bin/: a chip list there would make the
# installed program a portable copy.
file(GLOB in_bin RELATIVE ${usr}/bin ${usr}/bin/*)
list(REMOVE_ITEM in_bin ktr4180 ktr4180-cli)
if(in_bin)
  fail("unexpected files in bin/: ${in_bin}")
endif()

# Each size is the picture of that size, not a copy of another one: width
# and height are the big-endian words after the PNG signature and IHDR tag.
foreach(size IN LISTS ICON_SIZES)
  set(png ${usr}/share/icons/hicolor/${size}x${size}/apps/ktr4180.png)
  if(EXISTS ${png})
    file(READ ${png} header LIMIT 24 HEX)
    string(SUBSTRING "${header}" 32 8 wx)
    string(SUBSTRING "${header}" 40 8 hx)
    math(EXPR w "0x${wx}")
    math(EXPR h "0x${hx}")
    if(NOT header MATCHES "^89504e470d0a1a0a0000000d49484452" OR NOT w EQUAL size OR NOT h EQUAL size)
      fail("${png} is not a ${size}x${size} PNG (${w}x${h})")
    endif()
  endif()
endforeach()

# The installed programs find their data in share/ktr4180, with a user whose
# configuration folder is empty.
set(cli ${CMAKE_COMMAND} -E env HOME=${home} XDG_CONFIG_HOME=${home}/.config ${usr}/bin/ktr4180-cli)
execute_process(COMMAND ${cli} list-chips
  RESULT_VARIABLE rc OUTPUT_VARIABLE chips ERROR_VARIABLE err)
string(REGEX MATCHALL "\n" lines "${chips}")
list(LENGTH lines count)
if(NOT rc EQUAL 0 OR NOT err STREQUAL "" OR count LESS 600)
  fail("installed list-chips: exit ${rc}, ${count} lines, messages: ${err}")
endif()
execute_process(COMMAND ${cli} fuse-description
  RESULT_VARIABLE rc OUTPUT_VARIABLE fuses ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT err STREQUAL "" OR NOT fuses MATCHES "^fuse bytes")
  fail("installed fuse-description: exit ${rc}, messages: ${err}\n${fuses}")
endif()

# The changelog speaks of this version; the manual pages document what the
# programs' help says they take.
macro(read_gzipped path variable)
  execute_process(COMMAND gzip -dc ${path} OUTPUT_VARIABLE ${variable} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    fail("${path} is not gzip-compressed")
  endif()
endmacro()
read_gzipped(${usr}/share/doc/ktr4180/changelog.gz changelog)
if(NOT changelog MATCHES "^ktr4180 \\(${VERSION}\\) ")
  fail("the changelog does not start with version ${VERSION}")
endif()
execute_process(COMMAND ${cli} --help OUTPUT_VARIABLE help RESULT_VARIABLE rc)
read_gzipped(${usr}/share/man/man1/ktr4180-cli.1.gz cli_page)
string(REPLACE "\\-" "-" cli_page "${cli_page}")
string(REGEX MATCHALL "\n  [a-z][a-z-]+" commands "${help}")
foreach(command IN LISTS commands)
  string(STRIP "${command}" command)
  if(NOT cli_page MATCHES "\n${command}")
    fail("ktr4180-cli(1) lacks the command ${command}")
  endif()
endforeach()
if(WITH_GUI)
  # Every option the window program names, and nothing it does not take.
  execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen HOME=${home} ${usr}/bin/ktr4180 --help
    OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REGEX REPLACE "[^\n]*unknown option[^\n]*" "" help "${out}${err}")
  string(REGEX MATCHALL "--[a-z][a-z-]*[a-z]" said "${help}")
  read_gzipped(${usr}/share/man/man1/ktr4180.1.gz page)
  string(REPLACE "\\-" "-" page "${page}")
  string(REGEX MATCHALL "--[a-z][a-z-]*[a-z]" documented "${page}")
  list(REMOVE_DUPLICATES said)
  list(REMOVE_DUPLICATES documented)
  foreach(option IN LISTS said)
    if(NOT option IN_LIST documented)
      fail("ktr4180(1) does not document ${option}")
    endif()
  endforeach()
  foreach(option IN LISTS documented)
    if(NOT option IN_LIST said)
      fail("ktr4180(1) documents ${option}, which ktr4180 --help does not name")
    endif()
  endforeach()
  if(NOT said)
    fail("ktr4180 --help named no option: ${help}")
  endif()
endif()

# The launcher entry starts the installed program by its icon's name, with the
# file it was given (a data file opened from a file manager).
file(READ ${usr}/share/applications/${APP_ID}.desktop desktop)
foreach(line "Exec=ktr4180 %f" "Icon=ktr4180" "Terminal=false" "Categories=Development;Electronics;")
  if(NOT desktop MATCHES "\n${line}\n")
    fail("desktop entry lacks ${line}")
  endif()
endforeach()
file(READ ${usr}/share/metainfo/${APP_ID}.metainfo.xml metainfo)
if(NOT metainfo MATCHES "<release version=\"${VERSION}\"")
  fail("metainfo has no release entry for ${VERSION}")
endif()
if(NOT metainfo MATCHES "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>")
  fail("metainfo does not launch ${APP_ID}.desktop")
endif()
if(EXISTS "${DESKTOP_FILE_VALIDATE}")
  execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${usr}/share/applications/${APP_ID}.desktop
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR NOT "${out}${err}" STREQUAL "")
    fail("desktop-file-validate: ${out}${err}")
  endif()
endif()
if(EXISTS "${APPSTREAMCLI}")
  execute_process(COMMAND ${APPSTREAMCLI} validate --no-net ${usr}/share/metainfo/${APP_ID}.metainfo.xml
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    fail("appstreamcli validate: ${out}${err}")
  endif()
endif()

# Access through the seat's ACL, never by a file mode open to everyone.
file(READ ${usr}/${UDEV_RULES_DIR}/60-ktr4180.rules rules)
string(REGEX MATCHALL "MODE[:+]?=\"[0-7]*\"" modes "${rules}")
foreach(mode IN LISTS modes)
  if(mode MATCHES "[2367]\"$")
    fail("udev rule makes the programmer writable for everyone: ${mode}")
  endif()
endforeach()
foreach(subsystem hidraw usb)
  if(NOT rules MATCHES "SUBSYSTEM==\"${subsystem}\"[^\n]*idVendor}==\"c251\"[^\n]*idProduct}==\"1c01\"[^\n]*TAG\\+=\"uaccess\"")
    fail("udev rule gives no seat access to the programmer's ${subsystem} node")
  endif()
endforeach()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} problem(s) in the installed tree under ${root}")
endif()
file(REMOVE_RECURSE ${WORK})
