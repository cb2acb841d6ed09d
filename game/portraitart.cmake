# The dialogue portraits: tools/makeportraits draws them into
# game/Data/Portraits.sif.
set(QEL_PORTRAIT_ARCHIVE ${CMAKE_SOURCE_DIR}/game/Data/Portraits.sif)
add_custom_command(
  OUTPUT ${QEL_PORTRAIT_ARCHIVE}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:makeportraits> ${CMAKE_SOURCE_DIR}/game/Data
  # The program never refreshes a cache copy, so a new archive drops the old copy.
  COMMAND ${CMAKE_COMMAND} -E rm -f ${CMAKE_SOURCE_DIR}/game/Data/Decompress/Portraits.sif
  DEPENDS makeportraits
  COMMENT "Drawing and packing the sample game's dialogue portraits"
  VERBATIM)
add_custom_target(game_portrait_archive ALL DEPENDS ${QEL_PORTRAIT_ARCHIVE})
