# The dialogue portraits: tools/makeportraits draws them into
# game/Data/Portraits.sif.
include(${CMAKE_CURRENT_LIST_DIR}/drawnart.cmake)
qel_drawn_archives(game_portrait_archive makeportraits "Drawing and packing the sample game's dialogue portraits"
  Portraits.sif)
