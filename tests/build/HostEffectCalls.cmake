# cmake -DROOT=<source tree> -P HostEffectCalls.cmake
# Every host call that changes something outside the process goes through the
# gate module of win32 (platform/win32/HostWrite.cpp), so that a termination
# signal's ending holds it: a direct call of one of these host functions
# anywhere else in the platform or the program is refused, with the file and
# the line named. Comments are not looked at; a member call (`.write(`,
# `->open(`) or a qualified one other than `::` (`std::remove(`) is another
# function.
set(calls write pwrite open open64 openat creat ftruncate truncate unlink unlinkat remove rename renameat
    mkdir mkdirat rmdir link symlink sendto sendmsg send fchown chown fchmod chmod)
string(JOIN "|" alternatives ${calls})
set(call_re "(^|[^A-Za-z0-9_.>:])(::)?(${alternatives})[ \t]*\\(")
set(gate_module platform/win32/HostWrite.cpp)

set(found "")
foreach(folder platform app conditions aggregation report res editions)
  if(NOT IS_DIRECTORY ${ROOT}/${folder})
    continue()
  endif()
  file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/${folder}/*.cpp ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.c)
  foreach(source IN LISTS sources)
    if(source STREQUAL gate_module)
      continue()
    endif()
    file(STRINGS ${ROOT}/${source} lines)
    set(number 0)
    foreach(line IN LISTS lines)
      math(EXPR number "${number} + 1")
      string(REGEX REPLACE "//.*$" "" code "${line}")
      if(code MATCHES "${call_re}")
        list(APPEND found "${source}:${number}: a host effect outside the gate module: ${CMAKE_MATCH_3}")
      endif()
    endforeach()
  endforeach()
endforeach()
if(found)
  string(JOIN "\n" report ${found})
  message(FATAL_ERROR "${report}")
endif()
