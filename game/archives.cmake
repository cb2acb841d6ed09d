# The sample game's image archives: tools/makeart draws the pictures as PNG
# files into the build tree, tools/sifpack packs them (by the manifests in
# tools/art/) into game/Data/*.sif.
set(QEL_ART_DIR ${CMAKE_BINARY_DIR}/art)
set(QEL_ART_MANIFESTS
  ${CMAKE_SOURCE_DIR}/tools/art/StandardTextures.txt
  ${CMAKE_SOURCE_DIR}/tools/art/TitleScreen.txt
  ${CMAKE_SOURCE_DIR}/tools/art/Backgrounds.txt
  ${CMAKE_SOURCE_DIR}/tools/art/Characters.txt)
set(QEL_GAME_ARCHIVES
  ${CMAKE_SOURCE_DIR}/game/Data/StandardTextures.sif
  ${CMAKE_SOURCE_DIR}/game/Data/TitleScreen.sif
  ${CMAKE_SOURCE_DIR}/game/Data/Backgrounds.sif
  ${CMAKE_SOURCE_DIR}/game/Data/Characters.sif)
# Sanitizer builds: Allegro keeps a few blocks until exit, which is no fault
# of the tools.
add_custom_command(
  OUTPUT ${QEL_GAME_ARCHIVES}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:makeart> ${QEL_ART_DIR}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:sifpack> -C ${QEL_ART_DIR}
          ${CMAKE_SOURCE_DIR}/game/Data/StandardTextures.sif -m ${CMAKE_SOURCE_DIR}/tools/art/StandardTextures.txt
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:sifpack> -C ${QEL_ART_DIR}
          ${CMAKE_SOURCE_DIR}/game/Data/TitleScreen.sif -m ${CMAKE_SOURCE_DIR}/tools/art/TitleScreen.txt
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:sifpack> -C ${QEL_ART_DIR}
          ${CMAKE_SOURCE_DIR}/game/Data/Backgrounds.sif -m ${CMAKE_SOURCE_DIR}/tools/art/Backgrounds.txt
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:sifpack> -C ${QEL_ART_DIR}
          ${CMAKE_SOURCE_DIR}/game/Data/Characters.sif -m ${CMAKE_SOURCE_DIR}/tools/art/Characters.txt
  # The program never refreshes a cache copy, so new archives drop the old copies.
  COMMAND ${CMAKE_COMMAND} -E rm -f ${CMAKE_SOURCE_DIR}/game/Data/Decompress/StandardTextures.sif
          ${CMAKE_SOURCE_DIR}/game/Data/Decompress/TitleScreen.sif
          ${CMAKE_SOURCE_DIR}/game/Data/Decompress/Backgrounds.sif
          ${CMAKE_SOURCE_DIR}/game/Data/Decompress/Characters.sif
  DEPENDS makeart sifpack ${QEL_ART_MANIFESTS}
  COMMENT "Drawing and packing the sample game's image archives"
  VERBATIM)
add_custom_target(game_archives ALL DEPENDS ${QEL_GAME_ARCHIVES})
