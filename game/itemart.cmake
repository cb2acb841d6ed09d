# The item pictures: tools/makeitemart draws the items' icons and ground
# pictures and the meadow's standing stones into game/Data/Items.sif.
include(${CMAKE_CURRENT_LIST_DIR}/drawnart.cmake)
qel_drawn_archives(game_item_archive makeitemart "Drawing and packing the sample game's item pictures" Items.sif)
