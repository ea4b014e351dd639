# Installs the build into a fresh prefix and checks what is there:
#   cmake -DBUILD_DIR=<build> -DPREFIX=<prefix> -DSOURCE_DIR=<source> -DAPP_ID=<id>
#         [-DDESKTOP_FILE_VALIDATE=<tool>] [-DAPPSTREAMCLI=<tool>] -P InstallTest.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(result)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

# Exactly these files: nothing else (no configuration beside the program, the
# one a build folder has).
set(expected
  bin/sulo
  lib/udev/rules.d/70-sulo-board.rules
  share/applications/${APP_ID}.desktop
  share/doc/sulo/changelog.gz
  share/doc/sulo/copyright
  share/icons/hicolor/256x256/apps/${APP_ID}.png
  share/icons/hicolor/scalable/apps/${APP_ID}.svg
  share/man/man1/sulo.1.gz
  share/metainfo/${APP_ID}.metainfo.xml
  share/sulo/default.configuration)
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${PREFIX}" "${PREFIX}/*")
list(SORT installed)
list(SORT expected)
if(NOT installed STREQUAL expected)
  message(FATAL_ERROR "installed files differ\n  expected: ${expected}\n  installed: ${installed}")
endif()

set(failures "")
execute_process(COMMAND test -x "${PREFIX}/bin/sulo" RESULT_VARIABLE result)
if(result)
  list(APPEND failures "bin/sulo is not executable")
endif()
file(SHA256 "${PREFIX}/share/sulo/default.configuration" shipped)
file(SHA256 "${SOURCE_DIR}/resources/default.configuration" source)
if(NOT shipped STREQUAL source)
  list(APPEND failures "share/sulo/default.configuration is not the shipped settings")
endif()
# The PNG's header: width and height 256.
file(READ "${PREFIX}/share/icons/hicolor/256x256/apps/${APP_ID}.png" size OFFSET 16 LIMIT 8 HEX)
if(NOT size STREQUAL "0000010000000100")
  list(APPEND failures "the 256 px icon is ${size}")
endif()
file(READ "${PREFIX}/share/applications/${APP_ID}.desktop" desktop)
if(NOT desktop MATCHES "\nExec=sulo\n" OR NOT desktop MATCHES "\nIcon=${APP_ID}\n")
  list(APPEND failures "the desktop entry does not start sulo with its icon")
endif()
file(READ "${PREFIX}/lib/udev/rules.d/70-sulo-board.rules" rules)
foreach(vendor 0403 1a86 10c4 067b)
  if(NOT rules MATCHES "ATTRS{idVendor}==\"${vendor}\"[^\n]*ENV{ID_MM_DEVICE_IGNORE}=\"1\", TAG\\+=\"uaccess\"")
    list(APPEND failures "the udev rule does not give the ${vendor} bridge to the seat's user")
  endif()
endforeach()
# The compressed documents are whole gzip files.
foreach(doc share/man/man1/sulo.1.gz share/doc/sulo/changelog.gz)
  file(READ "${PREFIX}/${doc}" magic LIMIT 2 HEX)
  if(NOT magic STREQUAL "1f8b")
    list(APPEND failures "${doc} is not compressed")
  endif()
endforeach()

if(DESKTOP_FILE_VALIDATE)
  execute_process(COMMAND "${DESKTOP_FILE_VALIDATE}" "${PREFIX}/share/applications/${APP_ID}.desktop"
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(result OR out)
    list(APPEND failures "desktop-file-validate: ${out}")
  endif()
endif()
if(APPSTREAMCLI)
  execute_process(COMMAND "${APPSTREAMCLI}" validate --no-net "${PREFIX}/share/metainfo/${APP_ID}.metainfo.xml"
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(result)
    list(APPEND failures "appstreamcli validate: ${out}")
  endif()
endif()

file(REMOVE_RECURSE "${PREFIX}")
if(failures)
  string(REPLACE ";" "\n  " failures "${failures}")
  message(FATAL_ERROR "installed tree:\n  ${failures}")
endif()
