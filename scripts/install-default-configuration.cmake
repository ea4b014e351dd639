# Puts the shipped configuration beside the program when none is there yet;
# an existing configuration is never replaced. Run by the build:
#   cmake -DSOURCE=<shipped file> -DTARGET=<program's configuration> -P install-default-configuration.cmake
if(NOT EXISTS "${TARGET}")
  configure_file("${SOURCE}" "${TARGET}" COPYONLY)
  message(STATUS "Sulo: default configuration written to ${TARGET}")
endif()
