# cmake -DROOT=<source root> -P FolderIncludes.cmake
# Fails when a file of the program's folders includes a program header its
# folder may not see. The folders include each other one way:
#   app         -> conditions, aggregation, report, res
#   report      -> aggregation, res
#   aggregation -> res
#   conditions  -> res
#   res         -> (none)
# and every folder may include the two leaf headers of app/, the amount type
# and the yen rounding, which themselves include no program header. Above
# all, report/ and aggregation/ never include the application object.
#
# No program file (these folders and editions/) names an include by a path
# that climbs out of a folder ("../platform/suite/SuiteStore.h", or a ".."
# anywhere in it) or by an absolute path: the compiler looks for a quoted
# include beside the including file first, so such a path reaches headers
# that no include root of the program offers.
cmake_minimum_required(VERSION 3.24)

if(NOT IS_DIRECTORY "${ROOT}")
  message(FATAL_ERROR "ROOT=${ROOT} is not a folder")
endif()

set(folders app conditions aggregation report res)
set(allowed_app app conditions aggregation report res)
set(allowed_report report aggregation res)
set(allowed_aggregation aggregation res)
set(allowed_conditions conditions res)
set(allowed_res res)
set(leaves app/Kingaku.h app/YenRounding.h)

set(faults "")
set(checked 0)
foreach(folder IN LISTS folders ITEMS editions)
  file(GLOB files LIST_DIRECTORIES false RELATIVE ${ROOT} ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
  foreach(file IN LISTS files)
    math(EXPR checked "${checked} + 1")
    file(STRINGS ${ROOT}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line IN LISTS lines)
      if(line MATCHES "[\"<]([^\">]*)[\">]")
        set(header ${CMAKE_MATCH_1})
        if(header MATCHES "(^|/)\\.\\.(/|$)" OR header MATCHES "^/")
          list(APPEND faults "${file}: the include climbs out of its folder: ${header}")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

foreach(folder IN LISTS folders)
  file(GLOB files LIST_DIRECTORIES false RELATIVE ${ROOT} ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
  foreach(file IN LISTS files)
    list(FIND leaves ${file} leaf)
    file(STRINGS ${ROOT}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
      if(NOT line MATCHES "\"(([a-z]+)/[^\"]+)\"")
        continue()
      endif()
      set(header ${CMAKE_MATCH_1})
      set(target ${CMAKE_MATCH_2})
      if(NOT target IN_LIST folders)
        continue()  # the platform's public headers, checked by the build itself
      endif()
      if(NOT leaf EQUAL -1)
        list(APPEND faults "${file}: the leaf header includes ${header}")
      elseif(header IN_LIST leaves)
        continue()
      elseif(NOT target IN_LIST allowed_${folder})
        list(APPEND faults "${file}: ${folder}/ may not include ${header}")
      endif()
    endforeach()
  endforeach()
endforeach()

# A root without the program (a wrong path) must not pass as clean.
if(checked EQUAL 0)
  message(FATAL_ERROR "no program file under ${ROOT}")
endif()
if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "include against the folder order:\n  ${text}")
endif()
message(STATUS "${checked} program files include along the folder order")
