// The walking entity's module: each new cell of its walk goes to the script log.
int g_iCellX = -1;
int g_iCellZ = -1;

void CEntityWalking_PreUpdatePosition(geCBaseNode@ a_pNode)
{
    CVector3 vecAt = GetEntityObject(a_pNode).GetPosition();
    int iX = int(vecAt.m_fX);
    int iZ = int(vecAt.m_fZ);
    if (iX == g_iCellX && iZ == g_iCellZ)
        return;
    g_iCellX = iX;
    g_iCellZ = iZ;
    Log("DEMO: entity step " + bstrFormat(iX) + " " + bstrFormat(iZ) + "\n");
}

// Run once when the node is configured; the node needs nothing more then.
void main(geCBaseNode@ a_pNode)
{
}
