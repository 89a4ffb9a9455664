# Fails when a program needs a Qt library other than QtCore (its NEEDED entries, as readelf shows
# them): the zemfinder launcher must start without loading QtGui, QtWidgets and what they pull in,
# or the headless search pays their start-up again.
#   cmake -DPROGRAM=<zemfinder> -DREADELF=<readelf> -P CheckLauncherLibraries.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT PROGRAM OR NOT READELF)
  message(FATAL_ERROR "PROGRAM and READELF are required")
endif()
if(NOT EXISTS "${PROGRAM}")
  message(FATAL_ERROR "${PROGRAM} is not built")
endif()

execute_process(COMMAND "${READELF}" -d "${PROGRAM}" OUTPUT_VARIABLE dynamic ERROR_VARIABLE error RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${READELF} -d ${PROGRAM} failed: ${error}")
endif()
string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*\\[[^]\n]+\\]" entries "${dynamic}")
set(needed "")
foreach(entry ${entries})
  string(REGEX REPLACE "^.*\\[([^]]+)\\]$" "\\1" library "${entry}")
  list(APPEND needed "${library}")
endforeach()

# Without QtCore among them the output was not understood, and the check below would pass blind.
set(qt_libraries ${needed})
list(FILTER qt_libraries INCLUDE REGEX "^libQt5")
if(NOT "libQt5Core.so.5" IN_LIST qt_libraries)
  message(FATAL_ERROR "no libQt5Core.so.5 among the libraries ${PROGRAM} needs: ${needed}")
endif()
list(REMOVE_ITEM qt_libraries "libQt5Core.so.5")
if(qt_libraries)
  list(JOIN qt_libraries ", " text)
  message(FATAL_ERROR "${PROGRAM} needs Qt libraries beyond QtCore: ${text}")
endif()
message(STATUS "${PROGRAM}: QtCore is the only Qt library it needs")
