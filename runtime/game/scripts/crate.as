// The crate's module: it sounds the push and writes to the script log the cell where the crate
// starts to move and the cell where it comes to rest.
CVector3 g_vecLast;
bool g_bStarted = false;
bool g_bMoving = false;

bstr Cell(const CVector3 &in a_vecAt)
{
    return bstrFormat(int(a_vecAt.m_fX)) + " " + bstrFormat(int(a_vecAt.m_fZ));
}

void geCRenderableObject_Update(const geSUpdateArgument &in a)
{
    CVector3 vecAt = GetMovableObject(GameCore.GetRootNode().GetNodeByName("Crate")).GetPosition();
    if (!g_bStarted)
    {
        g_bStarted = true;
        g_vecLast = vecAt;
        return;
    }
    bool bMoved = vecAt.m_fX != g_vecLast.m_fX || vecAt.m_fZ != g_vecLast.m_fZ;
    if (bMoved && !g_bMoving)
    {
        g_bMoving = true;
        GameCore.PlayTonarisByName("Push");
        Log("DEMO: crate pushed " + Cell(g_vecLast) + "\n");
    }
    else if (!bMoved && g_bMoving)
    {
        g_bMoving = false;
        Log("DEMO: crate arrived " + Cell(vecAt) + "\n");
    }
    g_vecLast = vecAt;
}

// Run once when the node is configured; the node needs nothing more then.
void main(geCBaseNode@ a_pNode)
{
}
