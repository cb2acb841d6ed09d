# "play": what running the sample game needs, and nothing more: the program,
# the relay and every piece of the sample's data the other game/*.cmake files
# make (their targets are named game_*). scripts/run builds this target;
# scripts/test builds everything.
add_custom_target(play)
add_dependencies(play qel netrelay)

# The data targets are gathered once the whole project is read, so that
# rules added in any game/*.cmake file, before or after this one, count.
function(qel_play_depends_on_game_data)
  get_property(targets DIRECTORY ${CMAKE_SOURCE_DIR} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    if(target MATCHES "^game_")
      add_dependencies(play ${target})
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL qel_play_depends_on_game_data)
