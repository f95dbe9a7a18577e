# The menu videos' sound plays through OpenAL Soft, called directly by the game.
pkg_check_modules(ZK_GAME_OPENAL REQUIRED IMPORTED_TARGET openal)
target_link_libraries(cpelto_game PRIVATE PkgConfig::ZK_GAME_OPENAL)
