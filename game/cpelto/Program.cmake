# The program, build/bin/cpelto: the framework, the game and the platform library, never the
# engine, which it loads from beside itself at run time. Building it lays out the engine library
# and the start-up data beside it.
add_executable(cpelto ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
target_link_libraries(cpelto PRIVATE cpelto_game)
set_target_properties(cpelto PROPERTIES BUILD_RPATH "$ORIGIN")
add_dependencies(cpelto ZeKorb CPeltoData)
