# The battle pictures: tools/makecombatart draws the party's poses and the
# enemies' frames and packs them into game/Data/CombatSprites.sif and
# game/Data/Enemies.sif.
include(${CMAKE_CURRENT_LIST_DIR}/drawnart.cmake)
qel_drawn_archives(game_combat_archives makecombatart "Drawing and packing the sample game's battle pictures"
  CombatSprites.sif Enemies.sif)
