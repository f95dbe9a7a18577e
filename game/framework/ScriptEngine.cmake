# The game's script engine: the same scripting library as the engine's, with its bstr header.
target_link_libraries(zkframework PUBLIC zkangelscript)
