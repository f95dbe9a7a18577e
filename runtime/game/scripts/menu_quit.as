// The menu item "Quit": a click ends the game.
void OnLClick()
{
    Log("DEMO: exit\n");
    GameCore.ExitGame();
}

// Run once when the node is configured; the node needs nothing more then.
void main(geCBaseNode@ a_pNode)
{
}
