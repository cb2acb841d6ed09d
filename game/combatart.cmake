# The battle pictures: tools/makecombatart draws the party's poses and the
# enemies' frames and packs them into game/Data/CombatSprites.sif and
# game/Data/Enemies.sif.
set(QEL_COMBAT_ARCHIVES
  ${CMAKE_SOURCE_DIR}/game/Data/CombatSprites.sif
  ${CMAKE_SOURCE_DIR}/game/Data/Enemies.sif)
add_custom_command(
  OUTPUT ${QEL_COMBAT_ARCHIVES}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:makecombatart> ${CMAKE_SOURCE_DIR}/game/Data
  # The program never refreshes a cache copy, so new archives drop the old copies.
  COMMAND ${CMAKE_COMMAND} -E rm -f ${CMAKE_SOURCE_DIR}/game/Data/Decompress/CombatSprites.sif
          ${CMAKE_SOURCE_DIR}/game/Data/Decompress/Enemies.sif
  DEPENDS makecombatart
  COMMENT "Drawing and packing the sample game's battle pictures"
  VERBATIM)
add_custom_target(game_combat_archives ALL DEPENDS ${QEL_COMBAT_ARCHIVES})
