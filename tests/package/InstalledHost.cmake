# Installs the built library into a fresh prefix, builds a small host against that prefix
# alone (find_package with the MinGW toolchain) and runs it under Wine.
#   cmake -DBUILD=... -DSOURCE=... -DWORK=... -P InstalledHost.cmake
foreach(required BUILD SOURCE WORK OBJDUMP)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "${required} is not set")
  endif()
endforeach()

# Each step ends within two minutes: a host that hangs fails here instead of holding the run.
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 120)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}\n${err}")
  endif()
endfunction()

set(prefix ${WORK}/prefix)
set(hostBuild ${WORK}/host)
file(REMOVE_RECURSE ${WORK})

run("install" ${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix})
foreach(expected include/KOVA.h include/platform/Win32.h include/framework/PaintManager.h
                 lib/libKOVA.dll.a bin/KOVA.dll bin/KOVA.dll.debug lib/cmake/KOVA/KOVAConfig.cmake
                 lib/cmake/KOVA/KOVAConfigVersion.cmake)
  if(NOT EXISTS ${prefix}/${expected})
    message(FATAL_ERROR "the installed tree has no ${expected}")
  endif()
endforeach()

# The DLL a host ships has no debug sections; it links to its debug information beside it.
function(sections file result)
  execute_process(COMMAND ${OBJDUMP} -h ${file} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "objdump failed on ${file}")
  endif()
  set(${result} "${dump}" PARENT_SCOPE)
endfunction()
sections(${prefix}/bin/KOVA.dll shipped)
if(shipped MATCHES "[.]debug_[a-z]+")
  message(FATAL_ERROR "the installed KOVA.dll carries debug information (${CMAKE_MATCH_0})")
endif()
if(NOT shipped MATCHES "[.]gnu_debuglink")
  message(FATAL_ERROR "the installed KOVA.dll has no link to KOVA.dll.debug")
endif()
sections(${prefix}/bin/KOVA.dll.debug kept)
if(NOT kept MATCHES "[.]debug_info")
  message(FATAL_ERROR "KOVA.dll.debug holds no debug information")
endif()

run("host configure" ${CMAKE_COMMAND} -S ${SOURCE}/tests/package/host -B ${hostBuild} -G Ninja
    -DCMAKE_TOOLCHAIN_FILE=${SOURCE}/cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_PREFIX_PATH=${prefix})
run("host build" ${CMAKE_COMMAND} --build ${hostBuild})
# The host must have found the installed copy, not anything of the build tree.
file(READ ${hostBuild}/CMakeCache.txt cache)
string(FIND "${cache}" "KOVA_DIR:PATH=${prefix}/lib/cmake/KOVA" found)
if(found EQUAL -1)
  message(FATAL_ERROR "find_package(KOVA) did not resolve to ${prefix}")
endif()
run("host run" ${SOURCE}/tools/wine-emu.sh ${BUILD} ${hostBuild}/PackageHost.exe)
message(STATUS "host built against ${prefix} ran")
# A failure keeps the install and the host's build to look at; a pass leaves nothing behind.
file(REMOVE_RECURSE ${WORK})
