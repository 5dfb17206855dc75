# Runs the sample host headless and checks what it wrote: exit code 0, one picture of the
# window per page of examples/pages/PageList.cpp, and the notifications of the framework
# page's tour (a click on the pump tile reaches the host through the page).
#   cmake -DHOST=SampleHost.exe -DBUILD=... -DSOURCE=... -DWORK=... -P SampleHostPages.cmake
foreach(required HOST BUILD SOURCE WORK)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "${required} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${SOURCE}/tools/wine-emu.sh ${BUILD} ${HOST} Z:${WORK} RESULT_VARIABLE rc TIMEOUT 420)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the sample host ended with ${rc}")
endif()

# A PNG's size is in its header chunk: width and height, 4 bytes each, from byte 16.
function(png_size path out)
  file(READ ${path} header OFFSET 16 LIMIT 8 HEX)
  string(SUBSTRING "${header}" 0 8 width)
  string(SUBSTRING "${header}" 8 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  set(${out} "${width}x${height}" PARENT_SCOPE)
endfunction()

file(READ ${SOURCE}/examples/pages/PageList.cpp pageList)
string(REGEX MATCHALL "&k[A-Za-z]+Page" rows "${pageList}")
list(LENGTH rows pageCount)
file(GLOB pictures ${WORK}/pages/*.png)
list(LENGTH pictures pictureCount)
if(NOT pictureCount EQUAL pageCount OR NOT EXISTS ${WORK}/pages/framework.png)
  message(FATAL_ERROR "${pageCount} pages listed, pictures written: ${pictures}")
endif()
foreach(picture ${pictures})
  png_size(${picture} size)
  if(NOT size STREQUAL "1080x640")
    message(FATAL_ERROR "${picture} is ${size}, not the window's 1080x640")
  endif()
endforeach()

file(READ ${WORK}/notifications.txt notifications)
string(FIND "${notifications}" "control 101: code 2" clicked)
if(clicked EQUAL -1)
  message(FATAL_ERROR "the pump tile's click was not heard:\n${notifications}")
endif()
