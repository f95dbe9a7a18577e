// A level's module: it starts the level's music (the node loads it after running main()) and
// says that the level has been built.
bool g_bStarted = false;

void geCRenderableObject_Update(const geSUpdateArgument &in a)
{
    if (g_bStarted)
        return;
    g_bStarted = true;
    geCBaseNode@ pLevel = GameCore.GetRootNode().GetNodeByName("CPeltoLevel");
    // A mini level visited before leaves its mark on the core.
    GameCore.GetProperties().Register("LoadedMiniLevel");
    GameCore.GetProperties().Set("LoadedMiniLevel", false);
    GetRenderableObject(pLevel).PlayTonarisByName("LevelMusic");
    Log("DEMO: level loaded " + pLevel.GetProperties().GetString("Name") + "\n");
}

// Run once when the node is configured; the node needs nothing more then.
void main(geCBaseNode@ a_pNode)
{
}
