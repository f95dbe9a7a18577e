// The game's core module. The demo data has no menu or level yet: the module says that the game
// started and that its first frame ran, and the game then shows its studio logo until it is
// closed.
bool g_bFirstFrameSeen = false;

void main()
{
    Log("GameCoreModule: main\n");
}

void OnProcessGame()
{
    if (g_bFirstFrameSeen)
        return;
    g_bFirstFrameSeen = true;
    Log("GameCoreModule: first frame\n");
}
