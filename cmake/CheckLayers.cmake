# Fails when a file under src/, under a layer's folder of tests/ (tests/gui,
# tests/world/ai ...) or under tests/support includes a header from a layer
# above its own, or from a side-by-side folder of its own layer.
#   cmake -DSOURCE_DIR=<repo> [-DSTAMP=<file>] -P cmake/CheckLayers.cmake
#
# Every source file counts, whatever its extension (QEL_SOURCE_EXTENSIONS:
# headers, sources, .inl, .ipp ...), and so does every include form, each
# resolved the way the compiler finds it, to a file:
#   "world/Camera.h"             beside the including file, then in the
#                                include folders
#   "../world/Camera.h"          the same, with ./ and ../ taken against
#   "../../src/world/Camera.h"   that folder
#   <world/Camera.h>             in the include folders: src/ (and for a test
#   <../src/world/Camera.h>      tests/ and tools/ too)
# The file found belongs to the layer of its folder under src/ or tests/
# (tests/world/WithPlayer.h is world's). A path that finds no file of a layer
# (<vector>, <lua5.1/lua.hpp>) passes. tests/e2e and tests/tools are no
# layer's folders and are not checked: their programs link every layer.
#
# tests/support is built into every layer's support library, so its files
# have layers of their own:
# - a fixture of QEL_ENGINE_FIXTURES (cmake/Layers.cmake), its .cpp and its
#   .h, is of the lowest layer it is listed with. It may include from a
#   higher layer under the question whether that layer is linked
#   (#ifdef QEL_TEST_HAS_WORLD ... #endif): its support library is compiled
#   with the answers;
# - any other file with a .cpp goes into the support library every program
#   links: it is of the ground layer (platform);
# - a header alone (support/QueryTerrain.h) is of the highest layer it
#   includes: a test or a fixture below that layer that includes it fails.
cmake_policy(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)

# Folder -> layer rank; QEL_TEST_HAS_<KEY> -> folder.
set(rank 0)
set(folders "")
foreach(layer IN LISTS QEL_LAYERS)
  string(REPLACE " " ";" members "${layer}")
  foreach(folder IN LISTS members)
    set(RANK_${folder} ${rank})
    string(REPLACE "/" "_" key "${folder}")
    string(TOUPPER "${key}" key)
    set(ASKED_${key} ${folder})
    list(APPEND folders ${folder})
  endforeach()
  math(EXPR rank "${rank} + 1")
endforeach()
list(GET folders 0 ground_folder)
foreach(fixture IN LISTS QEL_ENGINE_FIXTURES)
  string(REPLACE " " ";" fixture "${fixture}")
  list(GET fixture 0 name)
  list(GET fixture 1 needs)
  set(FIXTURE_${name} ${needs})
endforeach()

# One pattern for all folders. A folder sorts after the folders inside it, so
# the longest matching folder prefix wins.
list(SORT folders ORDER DESCENDING)
list(JOIN folders "|" alternatives)
set(layer_pattern "^(src|tests)/(${alternatives})/")
# The files compiled on their own; the others are included.
set(compiled_pattern "\\.(c|cc|cpp|cxx)$")

cmake_path(NORMAL_PATH SOURCE_DIR)
string(REGEX REPLACE "/$" "" SOURCE_DIR "${SOURCE_DIR}")

# Sets <out> to <dir>/<header> normalised and relative to the repository when
# that names a file of it, or "".
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

# Sets <out> to the file an include of <file> finds, relative to the
# repository.
function(resolve_include file form header out)
  set(roots src)
  if(file MATCHES "^tests/")
    set(roots src tests tools)
  endif()
  get_filename_component(dir ${file} DIRECTORY)
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
    # A header that is nowhere in the repository: read as the include folder
    # would, so that a misspelt or not yet written one is still held to the
    # order.
    set(resolved "src/${header}")
    cmake_path(NORMAL_PATH resolved)
  endif()
  set(${out} "${resolved}" PARENT_SCOPE)
endfunction()

# Sets <out> to the includes of a file, each "<form>|<header>|<folders>": the
# folders are those of the layers it is compiled only with (#ifdef
# QEL_TEST_HAS_<FOLDER>), read in tests/support alone.
function(read_includes file out)
  set(asks OFF)
  if(file MATCHES "^tests/support/")
    set(asks ON)
  endif()
  file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*(include[ \t]*[<\"]|if|elif|else|endif)")
  set(stack "")
  set(result "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*([a-z]+).*" "\\1" directive "${line}")
    if(directive STREQUAL "include")
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"].*" "\\1|\\2" include "${line}")
      set(asked "")
      foreach(level IN LISTS stack)
        if(NOT level STREQUAL "-")
          list(APPEND asked ${level})
        endif()
      endforeach()
      list(JOIN asked "," asked)
      list(APPEND result "${include}|${asked}")
      continue()
    endif()
    # The branch's layer: one a positive question names, else none.
    set(level "-")
    if(asks AND directive MATCHES "^(if|ifdef|elif)$" AND NOT line MATCHES "!")
      if(line MATCHES "QEL_TEST_HAS_([A-Z_]+)")
        if(DEFINED ASKED_${CMAKE_MATCH_1})
          set(level ${ASKED_${CMAKE_MATCH_1}})
        endif()
      endif()
    endif()
    if(directive MATCHES "^if")
      list(APPEND stack ${level})
    elseif(directive MATCHES "^(elif|else|endif)$" AND stack)
      list(POP_BACK stack)
      if(NOT directive STREQUAL "endif")
        list(APPEND stack ${level})
      endif()
    endif()
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# Sets <out>_FOLDER to the layer folder of a path relative to the repository
# ("" outside every layer) and <out> to its rank.
function(layer_of path out)
  set(folder "")
  if(path MATCHES "${layer_pattern}")
    set(folder "${CMAKE_MATCH_2}")
  elseif(path MATCHES "^tests/support/")
    support_layer(${path} folder)
  endif()
  set(${out}_FOLDER "${folder}" PARENT_SCOPE)
  if(folder STREQUAL "")
    set(${out} "" PARENT_SCOPE)
  else()
    set(${out} ${RANK_${folder}} PARENT_SCOPE)
  endif()
endfunction()

# Sets <out> to the layer folder of a file of tests/support (see the top).
function(support_layer path out)
  string(MAKE_C_IDENTIFIER "${path}" key)
  get_property(known GLOBAL PROPERTY SUPPORT_LAYER_${key})
  if(known)
    set(${out} ${known} PARENT_SCOPE)
    return()
  endif()
  get_filename_component(name ${path} NAME_WLE)
  get_filename_component(dir ${path} DIRECTORY)
  if(DEFINED FIXTURE_${name})
    set(folder ${FIXTURE_${name}})
  elseif(path MATCHES "${compiled_pattern}" OR EXISTS ${SOURCE_DIR}/${dir}/${name}.cpp)
    set(folder ${ground_folder})
  else()
    # A header alone: the highest layer of what it includes (a header met
    # again while this one is read counts as the ground).
    set_property(GLOBAL PROPERTY SUPPORT_LAYER_${key} ${ground_folder})
    set(folder ${ground_folder})
    read_includes(${path} includes)
    foreach(include IN LISTS includes)
      string(REPLACE "|" ";" include "${include}")
      list(GET include 0 form)
      list(GET include 1 header)
      resolve_include(${path} "${form}" "${header}" resolved)
      layer_of("${resolved}" theirs)
      if(NOT theirs STREQUAL "" AND theirs GREATER RANK_${folder})
        set(folder ${theirs_FOLDER})
      endif()
    endforeach()
  endif()
  set_property(GLOBAL PROPERTY SUPPORT_LAYER_${key} ${folder})
  set(${out} ${folder} PARENT_SCOPE)
endfunction()

set(patterns "")
foreach(root src tests)
  foreach(extension IN LISTS QEL_SOURCE_EXTENSIONS)
    list(APPEND patterns ${SOURCE_DIR}/${root}/*.${extension})
  endforeach()
endforeach()
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${patterns})

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
  # A header alone in tests/support is of the layer its includes make it.
  get_filename_component(name ${file} NAME_WLE)
  get_filename_component(dir ${file} DIRECTORY)
  if(file MATCHES "^tests/support/" AND NOT file MATCHES "${compiled_pattern}" AND NOT DEFINED FIXTURE_${name}
     AND NOT EXISTS ${SOURCE_DIR}/${dir}/${name}.cpp)
    continue()
  endif()
  read_includes(${file} includes)
  foreach(include IN LISTS includes)
    string(REPLACE "|" ";" include "${include}")
    list(GET include 0 form)
    list(GET include 1 header)
    list(GET include 2 asked)
    string(REPLACE "," ";" asked "${asked}")
    resolve_include(${file} "${form}" "${header}" resolved)
    layer_of("${resolved}" theirs)
    if(theirs STREQUAL "")
      continue()
    endif()
    # Allowed from its own layer and from those its questions name.
    set(allowed OFF)
    foreach(folder IN ITEMS ${own_FOLDER} ${asked})
      if(theirs LESS RANK_${folder} OR theirs_FOLDER STREQUAL folder)
        set(allowed ON)
      endif()
    endforeach()
    if(allowed)
      continue()
    endif()
    # Shown as before: paths under src/ without it, those under tests/ with
    # it, and a support header with the layer it has.
    string(REGEX REPLACE "^src/" "" resolved "${resolved}")
    set(shown "${header}")
    if(form STREQUAL "<")
      set(shown "<${header}>")
    endif()
    if(resolved MATCHES "^tests/support/")
      set(shown "${shown} (${resolved}, of ${theirs_FOLDER})")
    elseif(NOT resolved STREQUAL header)
      set(shown "${shown} (${resolved})")
    endif()
    string(REGEX REPLACE "^src/" "" includer "${file}")
    if(theirs GREATER own)
      string(APPEND violations "  ${includer} includes ${shown}, a layer above its own\n")
    else()
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
