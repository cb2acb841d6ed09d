# The sample game's chunked levels: tools/plfpack turns each text description
# in tools/levels/ into game/Data/Maps/<Name>.plf.
set(QEL_LEVEL_NAMES DebugRoom Cellar)
set(QEL_GAME_LEVELS)
foreach(level ${QEL_LEVEL_NAMES})
  set(description ${CMAKE_SOURCE_DIR}/tools/levels/${level}.txt)
  set(output ${CMAKE_SOURCE_DIR}/game/Data/Maps/${level}.plf)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_SOURCE_DIR}/game/Data/Maps
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:plfpack> ${description} ${output}
    DEPENDS plfpack ${description}
    COMMENT "Packing the sample level ${level}"
    VERBATIM)
  list(APPEND QEL_GAME_LEVELS ${output})
endforeach()
add_custom_target(game_levels ALL DEPENDS ${QEL_GAME_LEVELS})
