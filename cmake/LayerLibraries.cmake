# One static library per folder of cmake/Layers.cmake, each linked (PUBLIC)
# to the libraries of every layer below its own and to nothing else. A file
# belongs to the longest folder of the list its path starts with
# (src/world/ai/*.cpp to world). The library of src/core/script is
# qel_core_script; QEL_LAYER_LIBRARIES holds every library from the ground up.
#
# A call from a lower layer into a higher one still compiles (a static
# library leaves its symbols open). Each layer's link check (qel_link_check_*,
# part of every build) links the whole of its library, every object whether
# a program uses it or not, against the libraries below it and nothing else,
# so such a call fails to link there.
include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)

# The library name of a layer folder: qel_ and the folder, "/" as "_".
function(qel_layer_library folder out)
  string(REPLACE "/" "_" name "${folder}")
  set(${out} "qel_${name}" PARENT_SCOPE)
endfunction()

# The folder of the list a path under src/ (or tests/) belongs to, or "".
function(qel_layer_folder path out)
  set(best "")
  set(bestlen 0)
  foreach(layer IN LISTS QEL_LAYERS)
    string(REPLACE " " ";" members "${layer}")
    foreach(folder IN LISTS members)
      string(LENGTH "${folder}/" len)
      string(SUBSTRING "${path}/" 0 ${len} head)
      if(head STREQUAL "${folder}/" AND len GREATER bestlen)
        set(best ${folder})
        set(bestlen ${len})
      endif()
    endforeach()
  endforeach()
  set(${out} "${best}" PARENT_SCOPE)
endfunction()

# The folders of every layer up to and including the folder's own, without
# its side-by-side peers, from the ground up.
function(qel_layer_folders_through folder out)
  set(result "")
  foreach(layer IN LISTS QEL_LAYERS)
    string(REPLACE " " ";" members "${layer}")
    if(folder IN_LIST members)
      list(APPEND result ${folder})
      break()
    endif()
    list(APPEND result ${members})
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# QEL_TEST_HAS_<FOLDER>=1 for the folder and every one below it
# (QEL_TEST_HAS_CORE_SCRIPT=1 ...): what the test fixtures built for a layer
# may set up.
function(qel_test_layer_definitions folder out)
  qel_layer_folders_through(${folder} present)
  set(definitions "")
  foreach(below IN LISTS present)
    string(REPLACE "/" "_" key "${below}")
    string(TOUPPER "${key}" key)
    list(APPEND definitions QEL_TEST_HAS_${key}=1)
  endforeach()
  set(${out} ${definitions} PARENT_SCOPE)
endfunction()

# A program made of nothing but the whole of <library> and what it links:
# it builds only if every object of the library finds each symbol it uses
# in the library itself, the layers below or the outside libraries.
function(qel_add_link_check library)
  if(NOT TARGET qel_link_check_main)
    add_library(qel_link_check_main OBJECT ${QEL_LINK_CHECK_MAIN})
  endif()
  add_executable(qel_link_check_${library} $<TARGET_OBJECTS:qel_link_check_main>)
  target_link_libraries(qel_link_check_${library} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${library}>")
endfunction()
set(QEL_LINK_CHECK_MAIN ${CMAKE_CURRENT_LIST_DIR}/LinkCheck.cpp)

# Adds the libraries from the sources under <source_dir> (every .cpp except
# those in EXCLUDE). What all of them need (headers, outside libraries, a
# target to build first) goes to the lowest layer's library PUBLIC, or is
# added to each: INCLUDE_DIRECTORIES, LINK_LIBRARIES, DEPENDS.
function(qel_add_layer_libraries source_dir)
  cmake_parse_arguments(ARG "" "" "EXCLUDE;INCLUDE_DIRECTORIES;LINK_LIBRARIES;DEPENDS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${source_dir}/*.cpp)
  foreach(excluded IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${excluded})
  endforeach()
  foreach(source IN LISTS sources)
    file(RELATIVE_PATH rel ${source_dir} ${source})
    qel_layer_folder(${rel} folder)
    if(folder STREQUAL "")
      message(FATAL_ERROR "src/${rel} is in no layer: add its folder to cmake/Layers.cmake")
    endif()
    string(REPLACE "/" "_" key "${folder}")
    list(APPEND sources_${key} ${source})
  endforeach()

  set(below "")
  set(all "")
  foreach(layer IN LISTS QEL_LAYERS)
    string(REPLACE " " ";" members "${layer}")
    set(this_layer "")
    foreach(folder IN LISTS members)
      qel_layer_library(${folder} library)
      string(REPLACE "/" "_" key "${folder}")
      add_library(${library} STATIC ${sources_${key}})
      if(below STREQUAL "")
        target_include_directories(${library} PUBLIC ${ARG_INCLUDE_DIRECTORIES})
        target_link_libraries(${library} PUBLIC ${ARG_LINK_LIBRARIES})
      else()
        target_link_libraries(${library} PUBLIC ${below})
      endif()
      if(ARG_DEPENDS)
        add_dependencies(${library} ${ARG_DEPENDS})
      endif()
      qel_add_link_check(${library})
      list(APPEND this_layer ${library})
    endforeach()
    # Side-by-side folders do not link each other: the next layer links both.
    list(APPEND below ${this_layer})
    list(APPEND all ${this_layer})
  endforeach()
  set(QEL_LAYER_LIBRARIES ${all} PARENT_SCOPE)
endfunction()
