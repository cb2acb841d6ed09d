# The sample game's TrueType fonts: Debian's files, copied under the names
# the game's scripts and the engine load them by. The engine loads them at
# 16 pixels to the em and draws text in 16-pixel lines: these two keep the
# ink of every letter (descenders too) within those 16 rows. Lato (package
# fonts-lato) is the proportional one, FreeMono (package fonts-freefont-ttf)
# the monospaced one for the chat.
set(QEL_GAME_FONT_DIR ${CMAKE_SOURCE_DIR}/game/Data/Graphics/Fonts)
# Triples of (Debian file, its package, name in the game).
set(QEL_GAME_FONT_FILES
  /usr/share/fonts/truetype/freefont/FreeMono.ttf fonts-freefont-ttf FixedSys.ttf
  /usr/share/fonts/truetype/lato/Lato-Regular.ttf fonts-lato Sans.ttf)

set(QEL_GAME_FONTS)
list(LENGTH QEL_GAME_FONT_FILES _qel_font_count)
math(EXPR _qel_font_last "${_qel_font_count} - 1")
foreach(_qel_i RANGE 0 ${_qel_font_last} 3)
  math(EXPR _qel_j "${_qel_i} + 1")
  math(EXPR _qel_k "${_qel_i} + 2")
  list(GET QEL_GAME_FONT_FILES ${_qel_i} _qel_source)
  list(GET QEL_GAME_FONT_FILES ${_qel_j} _qel_package)
  list(GET QEL_GAME_FONT_FILES ${_qel_k} _qel_target)
  if(NOT EXISTS ${_qel_source})
    message(FATAL_ERROR "Font ${_qel_source} is missing: install the package ${_qel_package}")
  endif()
  add_custom_command(
    OUTPUT ${QEL_GAME_FONT_DIR}/${_qel_target}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QEL_GAME_FONT_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy ${_qel_source} ${QEL_GAME_FONT_DIR}/${_qel_target}
    DEPENDS ${_qel_source}
    COMMENT "Copying the font ${_qel_target}"
    VERBATIM)
  list(APPEND QEL_GAME_FONTS ${QEL_GAME_FONT_DIR}/${_qel_target})
endforeach()
add_custom_target(game_fonts ALL DEPENDS ${QEL_GAME_FONTS})
