// The walking entity's module: each new cell of its walk goes to the script log.
int g_iCellX = -1;
int g_iCellZ = -1;

// An entity on a path is placed through its meshes (the node's own position stays where it
// was configured), so its cell is read from its first mesh, in the world.
void CEntityWalking_PreUpdatePosition(geCBaseNode@ a_pNode)
{
    CMeshInterface@ pBody = GetRenderableObject(a_pNode).GetMesh(0);
    if (pBody is null)
        return;
    CVector3 vecAt = pBody.GetPosition(0);
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
