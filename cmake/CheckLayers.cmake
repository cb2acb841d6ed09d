# Fails when a file under src/, or under a layer's folder of tests/
# (tests/gui, tests/world/ai ...), includes a header from a layer above its
# own, or from a side-by-side folder of its own layer.
#   cmake -DSOURCE_DIR=<repo> [-DSTAMP=<file>] -P cmake/CheckLayers.cmake
#
# Every include form counts, in headers and sources alike, and each is
# resolved the way the compiler finds it, to a file:
#   "world/Camera.h"             beside the including file, then in the
#                                include folders
#   "../world/Camera.h"          the same, with ./ and ../ taken against
#   "../../src/world/Camera.h"   that folder
#   <world/Camera.h>             in the include folders: src/ (and for a test
#   <../src/world/Camera.h>      tests/ and tools/ too)
# The file found belongs to the layer of its folder under src/ or tests/
# (tests/world/WithPlayer.h is world's). A path that finds no file of a layer
# (<vector>, <lua5.1/lua.hpp>, "support/TempDir.h") passes. tests/support,
# tests/e2e and tests/tools are no layer's folders and are not checked: their
# programs link every layer.
include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)

# Folder -> layer rank.
set(rank 0)
set(folders "")
foreach(layer IN LISTS QEL_LAYERS)
  string(REPLACE " " ";" members "${layer}")
  foreach(folder IN LISTS members)
    set(RANK_${folder} ${rank})
    list(APPEND folders ${folder})
  endforeach()
  math(EXPR rank "${rank} + 1")
endforeach()

# One pattern for all folders. A folder sorts after the folders inside it, so
# the longest matching folder prefix wins.
list(SORT folders ORDER DESCENDING)
list(JOIN folders "|" alternatives)
set(layer_pattern "^(src|tests)/(${alternatives})/")

# Sets <out> to the layer rank of a path relative to the repository ("" outside
# every layer) and <out>_FOLDER to its layer folder.
macro(layer_of path out)
  if("${path}" MATCHES "${layer_pattern}")
    set(${out}_FOLDER "${CMAKE_MATCH_2}")
    set(${out} ${RANK_${CMAKE_MATCH_2}})
  else()
    set(${out}_FOLDER "")
    set(${out} "")
  endif()
endmacro()

# Sets <out> to <dir>/<header> normalised and relative to the repository when
# that names a file of it, or "".
cmake_path(NORMAL_PATH SOURCE_DIR)
string(REGEX REPLACE "/$" "" SOURCE_DIR "${SOURCE_DIR}")
macro(find_header dir header out)
  set(${out} "${SOURCE_DIR}/${dir}/${header}")
  cmake_path(NORMAL_PATH ${out})
  string(FIND "${${out}}" "${SOURCE_DIR}/" at)
  if(at EQUAL 0 AND EXISTS "${${out}}" AND NOT IS_DIRECTORY "${${out}}")
    string(LENGTH "${SOURCE_DIR}/" at)
    string(SUBSTRING "${${out}}" ${at} -1 ${out})
  else()
    set(${out} "")
  endif()
endmacro()

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp
     ${SOURCE_DIR}/tests/*.h ${SOURCE_DIR}/tests/*.cpp)

set(violations "")
foreach(file IN LISTS sources)
  layer_of(${file} own)
  if(own STREQUAL "")
    if(file MATCHES "^src/")
      string(REGEX REPLACE "^src/" "" includer "${file}")
      string(APPEND violations "  ${includer}: not in any layer (add its folder to cmake/Layers.cmake)\n")
    endif()
    continue()
  endif()
  set(roots src)
  if(file MATCHES "^tests/")
    set(roots src tests tools)
  endif()
  get_filename_component(dir ${file} DIRECTORY)
  file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"].*" "\\1;\\2" include "${line}")
    list(GET include 0 form)
    list(GET include 1 header)
    set(resolved "")
    if(form STREQUAL "\"")
      find_header("${dir}" "${header}" resolved)
    endif()
    foreach(root IN LISTS roots)
      if(resolved STREQUAL "")
        find_header("${root}" "${header}" resolved)
      endif()
    endforeach()
    if(resolved STREQUAL "")
      # A header that is nowhere in the repository: read as the include
      # folder would, so that a misspelt or not yet written one is still
      # held to the order.
      set(resolved "src/${header}")
      cmake_path(NORMAL_PATH resolved)
    endif()
    layer_of("${resolved}" theirs)
    if(theirs STREQUAL "")
      continue()
    endif()
    # Shown as before: paths under src/ without it, those under tests/ with it.
    string(REGEX REPLACE "^src/" "" resolved "${resolved}")
    set(shown "${header}")
    if(form STREQUAL "<")
      set(shown "<${header}>")
    endif()
    if(NOT resolved STREQUAL header)
      set(shown "${shown} (${resolved})")
    endif()
    string(REGEX REPLACE "^src/" "" includer "${file}")
    if(theirs GREATER own)
      string(APPEND violations "  ${includer} includes ${shown}, a layer above its own\n")
    elseif(theirs EQUAL own AND NOT own_FOLDER STREQUAL theirs_FOLDER)
      string(APPEND violations "  ${includer} includes ${shown}, from ${theirs_FOLDER} beside its own ${own_FOLDER}\n")
    endif()
  endforeach()
endforeach()

if(NOT violations STREQUAL "")
  message(FATAL_ERROR "Layer check failed:\n${violations}The layer order is in cmake/Layers.cmake.")
endif()
if(STAMP)
  file(TOUCH ${STAMP})
endif()
