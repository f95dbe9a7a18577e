// The start menu's module: its music, and the line "DEMO: menu shown" once the menu is on
// screen: after the studio logo (three seconds and one to shrink away) the first time, and at
// once when Escape brings it back from a level. The menu's "UserData1" says whether it has been
// shown since an item last left it (the items set it back to 0).
const float kLogoTime = 4.0f;
void OnUpdate()
{
    geCBaseNode@ pMenu = GameCore.GetRootNode().GetNodeByName("MainMenu");
    if (pMenu.GetPropertyAsFloat("UserData1") != 0 ||
        GameCore.GetGlobalArg().m_fCurrentTime < kLogoTime)
        return;
    pMenu.SetProperty("UserData1", "1");
    GameCore.PlayTonarisByName("MenuMusic");
    Log("DEMO: menu shown\n");
}

// Run once when the node is configured; the node needs nothing more then.
void main(geCBaseNode@ a_pNode)
{
}
