// The menu item "Play": a click leaves the menu for the level "level1".
void OnLClick()
{
    geCBaseNode@ pMenu = GameCore.GetRootNode().GetNodeByName("MainMenu");
    pMenu.SetProperty("UserData1", "0");
    pMenu.Disable(1);
    GameCore.StopTonarisByName("MenuMusic");
    GameCore.LoadLevel("level1");
}

// Run once when the node is configured; the node needs nothing more then.
void main(geCBaseNode@ a_pNode)
{
}
