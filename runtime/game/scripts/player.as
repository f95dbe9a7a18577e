// The player's module: it names the sub player when the socket takes the plug, sounds the plug,
// and writes the player's and the sub player's progress to the script log. The cable's length
// is counted from the socket's cell in whole cells along x and z, as the link measures it. The
// module's globals are set back after the level is built, so nodes are found by name.
int g_iSocketX = 0;
int g_iSocketZ = 0;
int g_iSocketDistance = 0;
int g_iSubX = -1;
int g_iSubZ = -1;

bstr Cell(const CVector3 &in a_vecAt)
{
    return bstrFormat(int(a_vecAt.m_fX)) + " " + bstrFormat(int(a_vecAt.m_fZ));
}

int Distance(int a, int b)
{
    return a > b ? a - b : b - a;
}

CPeltoPlayer@ Player()
{
    return GetPlayerObject(GameCore.GetRootNode().GetNodeByName("GamePlayer"));
}

void OnStartForward(const geSUpdateArgument &in a)
{
    Log("DEMO: step started " + Cell(Player().m_vecPosition) + "\n");
}

void OnActivateSocketSetMonster(const geSUpdateArgument &in a)
{
    geCBaseNode@ pSub = GameCore.GetRootNode().GetNodeByName("SubPlayer");
    if (pSub is null)
        return;
    @Player().m_pSubPlayer = GetPlayerObject(pSub);
    g_iSocketX = int(Player().m_vecPosition.m_fX);
    g_iSocketZ = int(Player().m_vecPosition.m_fZ);
    geCBaseNode@ pSocket = GameCore.GetRootNode().GetNodeByName("Socket");
    g_iSocketDistance = pSocket is null ? 0 : pSocket.GetProperties().GetInteger("SocketDistance");
    g_iSubX = g_iSocketX;
    g_iSubZ = g_iSocketZ;
    GameCore.PlayTonarisByName("Plug");
    Log("DEMO: plugged " + Cell(Player().m_vecPosition) + "\n");
}

void OnDeActivateSocketSetMonster(const geSUpdateArgument &in a)
{
    Log("DEMO: unplugged " + Cell(Player().m_vecPosition) + "\n");
}

void CPeltoPlayer_PreUpdatePosition(const geSUpdateArgument &in a)
{
    CPeltoPlayer@ pSub = Player().m_pSubPlayer;
    if (pSub is null)
        return;
    int iX = int(pSub.m_vecPosition.m_fX);
    int iZ = int(pSub.m_vecPosition.m_fZ);
    if (iX == g_iSubX && iZ == g_iSubZ)
        return;
    g_iSubX = iX;
    g_iSubZ = iZ;
    int iUsed = Distance(iX, g_iSocketX) + Distance(iZ, g_iSocketZ);
    Log("DEMO: sub player cell " + Cell(pSub.m_vecPosition) + "\n");
    Log("DEMO: cable left " + bstrFormat(g_iSocketDistance - iUsed) + "\n");
}

// Run once when the node is configured; the node needs nothing more then.
void main(geCBaseNode@ a_pNode)
{
}
