#pragma once
// Handles every window message that is waiting (peek with removal, translate, dispatch), so the
// window stays alive while the engine loads scenes and meshes on the main thread.
void PumpWaitingMessages();
