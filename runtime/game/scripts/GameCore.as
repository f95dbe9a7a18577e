// The game's core module: the player's animation ids, the menu music and the effects, and
// Escape (in a level: back to the menu; in the menu: quit).
//
// Every event a whole-game run waits for writes one line "DEMO: <event> <values>" to the script
// log; cells are written "x z". The lines and where they come from:
//   menu shown               menu.as, when the menu is on screen (after the studio logo)
//   level loaded <name>      level.as, when a level has been built
//   step started <x> <z>     player.as, the player's cell when a step forward starts
//   crate pushed <x> <z>     crate.as, the crate's cell when it starts to move
//   crate arrived <x> <z>    crate.as, the crate's cell when it has stopped
//   entity step <x> <z>      entity.as, each new cell of a walking entity
//   socket offered <x> <z>   socket.as, the player has stepped onto the socket's cell
//   plugged <x> <z>          player.as, the sub player has taken over at the socket's cell
//   sub player cell <x> <z>  player.as, each new cell of the sub player while plugged in
//   cable left <n>           player.as, the cable left after that cell
//   unplugged <x> <z>        player.as, the link has ended, the player's cell
//   generation entered <n>   level2.as, the mini level has laid out generation n
//   level unloaded           this module, Escape in a level
//   exit                     this module, Escape in the menu
bool g_bFirstFrameSeen = false;

void main()
{
    Log("GameCoreModule: main\n");
    // Each id is a range of the character scenes, declared in each player's node; they differ
    // from one another, and none is 4, the id that blocks the player's commands.
    GameCore.idanim_moveforward_start = 6;
    GameCore.idanim_moveforward = 2;
    GameCore.idanim_moveforward_end = 7;
    GameCore.idanim_movebackward = 5;
    GameCore.idanim_rotateleft = 9;
    GameCore.idanim_rotateright = 10;
    GameCore.idanim_strikeleft = 13;
    GameCore.idanim_strikeright = 14;
    GameCore.AddNewTonaris("sounds\\menu_music.ogg", "MenuMusic", true);
    GameCore.AddNewSound("sounds\\push.wav", "Push");
    GameCore.AddNewSound("sounds\\plug.wav", "Plug");
}

void OnProcessGame(const geSUpdateArgument &in a)
{
    if (!g_bFirstFrameSeen)
    {
        g_bFirstFrameSeen = true;
        Log("GameCoreModule: first frame\n");
    }
    bool bEscapeBefore = false;
    if (!GameCore.CheckForKey(KEY_ESC, bEscapeBefore) || bEscapeBefore)
        return;
    geCBaseNode@ pRoot = GameCore.GetRootNode();
    if (pRoot.GetNodeByName("CPeltoLevel") !is null)
    {
        GameCore.UnloadLevel();
        geCBaseNode@ pMenu = pRoot.GetNodeByName("MainMenu");
        if (pMenu !is null)
            pMenu.Enable(1);
        Log("DEMO: level unloaded\n");
        return;
    }
    Log("DEMO: exit\n");
    GameCore.ExitGame();
}
