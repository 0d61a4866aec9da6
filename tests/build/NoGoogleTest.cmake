# cmake -DSOURCE=<source dir> -P NoGoogleTest.cmake
# Configures the source tree in a scratch folder as a machine without
# GoogleTest would (the package is hidden from find_package): the
# configuration must succeed with the deliverables, warn, and define no test.
string(RANDOM LENGTH 8 tag)
set(dir "$ENV{TMPDIR}")
if(NOT dir)
  set(dir /tmp)
endif()
set(dir "${dir}/zk_nogtest_${tag}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${dir} -G Ninja -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DZK_WITH_FLTK=OFF
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
execute_process(COMMAND ninja -C ${dir} -t targets all OUTPUT_VARIABLE targets)
file(REMOVE_RECURSE ${dir})
if(NOT status EQUAL 0)
  message(FATAL_ERROR "configuring without GoogleTest failed:\n${out}\n${err}")
endif()
if(NOT err MATCHES "GoogleTest was not found: the tests are not built")
  message(FATAL_ERROR "no warning that the tests are left out:\n${err}")
endif()
if(NOT targets MATCHES "(^|\n)Zelkora:" OR targets MATCHES "test_e2e")
  message(FATAL_ERROR "the deliverables without the tests were wanted; targets:\n${targets}")
endif()
