# Fails when a file under src/ includes a header from a layer above its own,
# or from a side-by-side folder of its own layer.
#   cmake -DSOURCE_DIR=<repo> [-DSTAMP=<file>] -P cmake/CheckLayers.cmake
#
# Every include form counts, in headers and sources alike:
#   "world/Camera.h"     searched beside the including file, then under src/
#   "../world/Camera.h"  the same, with ./ and ../ taken against that folder
#   <world/Camera.h>     under src/
# A path that does not start with a layer folder once resolved (<vector>,
# <lua5.1/lua.hpp>, <GL/gl.h>, "Camera.h" beside its includer) is either
# outside the layers or in the includer's own folder, and passes.
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
set(layer_pattern "^(${alternatives})/")

# Sets <out> to the layer rank of a path relative to src/ ("" outside every
# layer) and <out>_FOLDER to its layer folder.
macro(layer_of path out)
  if("${path}" MATCHES "${layer_pattern}")
    set(${out}_FOLDER "${CMAKE_MATCH_1}")
    set(${out} ${RANK_${CMAKE_MATCH_1}})
  else()
    set(${out}_FOLDER "")
    set(${out} "")
  endif()
endmacro()

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}/src ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp)
foreach(file IN LISTS sources)
  set(EXISTS_${file} 1)
endforeach()

set(violations "")
foreach(file IN LISTS sources)
  layer_of(${file} own)
  if(own STREQUAL "")
    string(APPEND violations "  ${file}: not in any layer (add its folder to cmake/Layers.cmake)\n")
    continue()
  endif()
  get_filename_component(dir ${file} DIRECTORY)
  file(STRINGS ${SOURCE_DIR}/src/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"].*" "\\1;\\2" include "${line}")
    list(GET include 0 form)
    list(GET include 1 header)
    set(resolved "${header}")
    if(form STREQUAL "\"")
      # Beside the including file first, as the compiler looks.
      set(beside "${header}")
      if(NOT dir STREQUAL "")
        set(beside "${dir}/${header}")
      endif()
      if(beside MATCHES "(^|/)\\.\\.?/")
        cmake_path(NORMAL_PATH beside)
      endif()
      if(DEFINED EXISTS_${beside})
        set(resolved "${beside}")
      endif()
    endif()
    if(resolved MATCHES "(^|/)\\.\\.?/")
      cmake_path(NORMAL_PATH resolved)
    endif()
    layer_of("${resolved}" theirs)
    if(theirs STREQUAL "")
      continue()
    endif()
    set(shown "${header}")
    if(form STREQUAL "<")
      set(shown "<${header}>")
    endif()
    if(NOT resolved STREQUAL header)
      set(shown "${shown} (${resolved})")
    endif()
    if(theirs GREATER own)
      string(APPEND violations "  ${file} includes ${shown}, a layer above its own\n")
    elseif(theirs EQUAL own AND NOT own_FOLDER STREQUAL theirs_FOLDER)
      string(APPEND violations "  ${file} includes ${shown}, from ${theirs_FOLDER} beside its own ${own_FOLDER}\n")
    endif()
  endforeach()
endforeach()

if(NOT violations STREQUAL "")
  message(FATAL_ERROR "Layer check failed:\n${violations}The layer order is in cmake/Layers.cmake.")
endif()
if(STAMP)
  file(TOUCH ${STAMP})
endif()
