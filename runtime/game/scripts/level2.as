// The mini level's module: the level's music, the line "DEMO: level loaded level2", the camera
// kept behind and above the player (the mini level frees camera 0 from the player each frame),
// and "DEMO: generation entered <n>" each time the player walks into generation n.
const int kGenerationHeight = 4;
bool g_bStarted = false;
int g_iGeneration = 0;

void geCRenderableObject_Update(const geSUpdateArgument &in a)
{
    geCBaseNode@ pRoot = GameCore.GetRootNode();
    if (!g_bStarted)
    {
        g_bStarted = true;
        GameCore.GetProperties().Register("LoadedMiniLevel");
        GameCore.GetProperties().Set("LoadedMiniLevel", true);
        GetRenderableObject(pRoot.GetNodeByName("CPeltoLevel")).PlayTonarisByName("LevelMusic");
        Log("DEMO: level loaded level2\n");
    }
    geCBaseNode@ pNode = pRoot.GetNodeByName("GamePlayer");
    if (pNode is null)
        return;
    CVector3 vecAt = GetPlayerObject(pNode).m_vecPosition;
    CVector3 vecCamera = vecAt;
    vecCamera.m_fY = vecAt.m_fY + 5.0f;
    vecCamera.m_fZ = vecAt.m_fZ - 4.0f;
    SetCameraPosition(vecCamera);
    int iGeneration = int(vecAt.m_fZ) / kGenerationHeight;
    if (iGeneration == g_iGeneration)
        return;
    g_iGeneration = iGeneration;
    Log("DEMO: generation entered " + bstrFormat(iGeneration) + "\n");
}

// Run once when the node is configured; the node needs nothing more then.
void main(geCBaseNode@ a_pNode)
{
}
