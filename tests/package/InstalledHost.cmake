# Installs the built library into a fresh prefix, builds a small host against that prefix
# alone (find_package with the MinGW toolchain) and runs it under Wine.
#   cmake -DBUILD=... -DSOURCE=... -DWORK=... -P InstalledHost.cmake
foreach(required BUILD SOURCE WORK)
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
                 lib/libKOVA.dll.a bin/KOVA.dll lib/cmake/KOVA/KOVAConfig.cmake
                 lib/cmake/KOVA/KOVAConfigVersion.cmake)
  if(NOT EXISTS ${prefix}/${expected})
    message(FATAL_ERROR "the installed tree has no ${expected}")
  endif()
endforeach()

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
