#pragma once
// A message posted from one object to another by object id and delivered once per frame to the
// receiver's ProcessMessage. Scripts see it as a record of this exact layout.
#include <windef.h>

struct geMessage {
  // Zero-filled; the poster's text is cut to 255 characters so the field is always terminated.
  char pszName[256];
  DWORD SenderID;
  DWORD ReceiverID;
  DWORD MessageID;
  // The game timer's time when the message was posted, in seconds.
  float fPostTime;
  DWORD dwData;
};
static_assert(sizeof(geMessage) == 276);
