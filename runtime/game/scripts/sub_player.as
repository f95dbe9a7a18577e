// The sub player's module: it stays out of sight until the player plugs into the socket, which
// shows it (and hides it again when the link ends).
bool g_bHidden = false;

// Its meshes exist from its first update on: hide them then, once.
void CPeltoPlayer_PreUpdatePosition(const geSUpdateArgument &in a)
{
    if (g_bHidden)
        return;
    g_bHidden = true;
    GameCore.GetRootNode().GetNodeByName("SubPlayer").Disable(0);
}

// Run once when the node is configured; the node needs nothing more then.
void main(geCBaseNode@ a_pNode)
{
}
