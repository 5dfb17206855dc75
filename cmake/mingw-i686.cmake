# Cross toolchain: 32-bit Windows through MinGW-w64 (posix threads) on Debian.
# The media dependencies live in a prefix outside the work tree (tools/build-deps.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER   i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER  i686-w64-mingw32-windres)
set(CMAKE_OBJCOPY      i686-w64-mingw32-objcopy CACHE FILEPATH "")

# The default prefix is the one tools/build-deps.sh builds for its current recipe; a build
# tree set up against an earlier recipe's default moves on to the new one.
set(_kova_recipe 1)
if(EXISTS "${CMAKE_CURRENT_LIST_DIR}/../tools/build-deps.sh")
  file(STRINGS "${CMAKE_CURRENT_LIST_DIR}/../tools/build-deps.sh" _kova_recipe REGEX "^RECIPE=[0-9]+$")
  string(REPLACE "RECIPE=" "" _kova_recipe "${_kova_recipe}")
endif()
if(KOVA_DEPS MATCHES "/\\.cache/kova/deps-r[0-9]+$")
  unset(KOVA_DEPS)
  unset(KOVA_DEPS CACHE)
endif()
if(NOT KOVA_DEPS)
  if(DEFINED ENV{KOVA_DEPS})
    set(KOVA_DEPS "$ENV{KOVA_DEPS}")
  else()
    set(KOVA_DEPS "$ENV{HOME}/.cache/kova/deps-r${_kova_recipe}")
  endif()
endif()
set(KOVA_DEPS "${KOVA_DEPS}" CACHE PATH "prefix of the cross-built media dependencies")

# Prefixes given in CMAKE_PREFIX_PATH (an installed KOVA, for a host) hold Windows builds
# too: they count as roots, so that the package search, kept to the roots, finds them.
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32 "${KOVA_DEPS}" ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
