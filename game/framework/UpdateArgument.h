#pragma once
// The frame's time as the game timer gives it, kept by the application core. Every update and
// process pass of one frame receives the same pointer to it, and script events get it by
// reference.
struct geSUpdateArgument {
  float m_fCurrentTime;
  float m_fDeltaTime;
};
static_assert(sizeof(geSUpdateArgument) == 8);
