#pragma once
// The keys the input thread queued for the console, handed to the GUI library once a frame on
// the main thread. The input manager implements it; by default there is nothing queued.
class CGuiKeyQueue {
 public:
  virtual void InjectQueuedGuiKeys() = 0;

  static CGuiKeyQueue& Default();

 protected:
  ~CGuiKeyQueue() = default;
};
