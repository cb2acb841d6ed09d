# The item pictures: tools/makeitemart draws the items' icons and ground
# pictures and the meadow's standing stones into game/Data/Items.sif.
set(QEL_ITEM_ARCHIVE ${CMAKE_SOURCE_DIR}/game/Data/Items.sif)
add_custom_command(
  OUTPUT ${QEL_ITEM_ARCHIVE}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:makeitemart> ${CMAKE_SOURCE_DIR}/game/Data
  # The program never refreshes a cache copy, so a new archive drops the old copy.
  COMMAND ${CMAKE_COMMAND} -E rm -f ${CMAKE_SOURCE_DIR}/game/Data/Decompress/Items.sif
  DEPENDS makeitemart
  COMMENT "Drawing and packing the sample game's item pictures"
  VERBATIM)
add_custom_target(game_item_archive ALL DEPENDS ${QEL_ITEM_ARCHIVE})
