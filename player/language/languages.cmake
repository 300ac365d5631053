# The languages ship in the program folder: "Lang/<language>/" with its name, the player's and the
# database program's texts and the help.
file(GLOB_RECURSE player_lang_files CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_LIST_DIR}/Lang
     ${CMAKE_CURRENT_LIST_DIR}/Lang/*)
set(player_lang_copies "")
foreach(f ${player_lang_files})
  set(to ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Lang/${f})
  add_custom_command(OUTPUT ${to}
                     COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/Lang/${f} ${to}
                     DEPENDS ${CMAKE_CURRENT_LIST_DIR}/Lang/${f}
                     COMMENT "Language file ${f}")
  list(APPEND player_lang_copies ${to})
endforeach()
add_custom_target(player_languages ALL DEPENDS ${player_lang_copies})
add_dependencies(player player_languages)
