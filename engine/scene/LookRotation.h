#pragma once
// The look-at construction that cameras and spot lights share.
#include "ZKDXInterface.h"

class CWorldObject;

// The view rotation that turns +Z towards lookAt - eye, rolled by -roll. An eye that sits on its
// look-at point has no direction: the answer is false and *rotation keeps what it held, so the
// caller keeps its previous orientation instead of filling its matrices with NaN.
bool ComputeLookRotation(const CVector3& eye, const CVector3& lookAt, float roll,
                         CMatrix* rotation);

// The world position of a null or mesh target after its hierarchy update for the frame; false
// (and *point untouched) for no target or a target of another kind.
bool GetTargetPosition(CWorldObject* target, float frame, CVector3* point);
