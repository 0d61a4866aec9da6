# cmake -DFILE=<binary> -DTEXT=<text> [-DEXPECT=found] -P NotInFile.cmake
# Fails when TEXT occurs in FILE (or, with EXPECT=found, when it does not).
if(NOT EXISTS "${FILE}")
  message(FATAL_ERROR "${FILE} does not exist")
endif()
file(STRINGS "${FILE}" hits REGEX "${TEXT}")
if(EXPECT STREQUAL "found")
  if(NOT hits)
    message(FATAL_ERROR "\"${TEXT}\" does not occur in ${FILE}")
  endif()
elseif(hits)
  message(FATAL_ERROR "\"${TEXT}\" occurs in ${FILE}: ${hits}")
endif()
