# The sample game's music and sound effects, synthesised at build time by
# tools/makesound into game/Data/Music and game/Data/Sounds.
set(QEL_GAME_SOUNDS
  ${CMAKE_SOURCE_DIR}/game/Data/Music/Title.wav
  ${CMAKE_SOURCE_DIR}/game/Data/Music/Dungeon.wav
  ${CMAKE_SOURCE_DIR}/game/Data/Sounds/Click.wav
  ${CMAKE_SOURCE_DIR}/game/Data/Sounds/Chime.wav
  ${CMAKE_SOURCE_DIR}/game/Data/Sounds/TextTick.wav)
add_custom_command(
  OUTPUT ${QEL_GAME_SOUNDS}
  COMMAND makesound ${CMAKE_SOURCE_DIR}/game/Data
  DEPENDS makesound
  COMMENT "Synthesising the sample game's music and sounds"
  VERBATIM)
add_custom_target(game_sounds ALL DEPENDS ${QEL_GAME_SOUNDS})
