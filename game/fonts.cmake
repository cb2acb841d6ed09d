# The sample game's TrueType fonts: Debian's DejaVu files (package
# fonts-dejavu-core), copied under the names the game's scripts and the
# engine load them by.
set(QEL_DEJAVU_DIR /usr/share/fonts/truetype/dejavu)
set(QEL_GAME_FONT_DIR ${CMAKE_SOURCE_DIR}/game/Data/Graphics/Fonts)
# Pairs of (DejaVu file, name in the game).
set(QEL_GAME_FONT_PAIRS
  DejaVuSansMono.ttf FixedSys.ttf
  DejaVuSans.ttf Sans.ttf)

set(QEL_GAME_FONTS)
list(LENGTH QEL_GAME_FONT_PAIRS _qel_font_count)
math(EXPR _qel_font_last "${_qel_font_count} - 1")
foreach(_qel_i RANGE 0 ${_qel_font_last} 2)
  math(EXPR _qel_j "${_qel_i} + 1")
  list(GET QEL_GAME_FONT_PAIRS ${_qel_i} _qel_source)
  list(GET QEL_GAME_FONT_PAIRS ${_qel_j} _qel_target)
  if(NOT EXISTS ${QEL_DEJAVU_DIR}/${_qel_source})
    message(FATAL_ERROR "Font ${QEL_DEJAVU_DIR}/${_qel_source} is missing: install the package fonts-dejavu-core")
  endif()
  add_custom_command(
    OUTPUT ${QEL_GAME_FONT_DIR}/${_qel_target}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QEL_GAME_FONT_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy ${QEL_DEJAVU_DIR}/${_qel_source} ${QEL_GAME_FONT_DIR}/${_qel_target}
    DEPENDS ${QEL_DEJAVU_DIR}/${_qel_source}
    COMMENT "Copying the font ${_qel_target}"
    VERBATIM)
  list(APPEND QEL_GAME_FONTS ${QEL_GAME_FONT_DIR}/${_qel_target})
endforeach()
add_custom_target(game_fonts ALL DEPENDS ${QEL_GAME_FONTS})
