#pragma once
// The engine's own window: made at pre-initialisation unless the application hands one in, and
// served by the engine's window procedure.
class CEngineContext;
class CWindowProcedure;

class CEngineWindow {
 public:
  // Adopts the descriptor's window, or creates the engine's own and writes its handle back into
  // the descriptor. False when the window cannot be made.
  static bool Create(CEngineContext* context);
  // The procedure object of the engine's own window. It lives for the whole process, also when
  // the application's window was adopted (it then receives no messages).
  static CWindowProcedure* GetWindowProcedure();
};
