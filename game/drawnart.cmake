# Rules for archives of pictures that one of our drawing tools makes:
#   qel_drawn_archives(<target> <tool> <comment> <archive in game/Data>...)
# The tool draws and packs the archives into game/Data. The program never
# refreshes a cache copy, so new archives drop their old copies in
# game/Data/Decompress.
include_guard(GLOBAL)

function(qel_drawn_archives target tool comment)
  set(archives)
  set(copies)
  foreach(name ${ARGN})
    list(APPEND archives ${CMAKE_SOURCE_DIR}/game/Data/${name})
    list(APPEND copies ${CMAKE_SOURCE_DIR}/game/Data/Decompress/${name})
  endforeach()
  add_custom_command(
    OUTPUT ${archives}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:${tool}> ${CMAKE_SOURCE_DIR}/game/Data
    COMMAND ${CMAKE_COMMAND} -E rm -f ${copies}
    DEPENDS ${tool}
    COMMENT "${comment}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${archives})
endfunction()
