// The socket's module: while the player stands on the socket's cell and is not plugged in, the
// socket offers itself (the player's "ActiveSocket"), so that Space plugs the cable in. The
// player clears the offer at the end of each of its updates and takes the Space command after
// the frame's updates, so the socket, updated after the player, renews it every frame.
bool g_bOffered = false;

void geCRenderableObject_Update(const geSUpdateArgument &in a)
{
    geCBaseNode@ pRoot = GameCore.GetRootNode();
    geCBaseNode@ pSocket = pRoot.GetNodeByName("Socket");
    geCBaseNode@ pNode = pRoot.GetNodeByName("GamePlayer");
    if (pSocket is null || pNode is null)
        return;
    CPeltoPlayer@ pPlayer = GetPlayerObject(pNode);
    int iX = int(pSocket.GetPropertyAsFloat("InitX"));
    int iZ = int(pSocket.GetPropertyAsFloat("InitZ"));
    bool bOnCell = int(pPlayer.m_vecPosition.m_fX) == iX && int(pPlayer.m_vecPosition.m_fZ) == iZ;
    if (!bOnCell || pPlayer.m_pSubPlayer !is null)
    {
        g_bOffered = false;
        return;
    }
    pPlayer.ActiveSocket = pSocket.GetID();
    if (g_bOffered)
        return;
    g_bOffered = true;
    Log("DEMO: socket offered " + bstrFormat(iX) + " " + bstrFormat(iZ) + "\n");
}

// Run once when the node is configured; the node needs nothing more then.
void main(geCBaseNode@ a_pNode)
{
}
