#pragma once
// A GUI library stand-in that records every injected event as one line of text, with the id of
// the thread that injected it.
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "input/GuiInput.h"

class CRecordingGuiInput : public CGuiInput {
 public:
  void InjectMousePosition(float x, float y) override { Add("position %g %g", x, y); }
  void InjectMouseMove(float dx, float dy) override { Add("move %g %g", dx, dy); }
  void InjectMouseButtonDown(int button) override { Add("button down %d", button); }
  void InjectMouseButtonUp(int button) override { Add("button up %d", button); }
  void InjectMouseWheelChange(float delta) override { Add("wheel %g", delta); }
  void InjectChar(uint32_t character) override { Add("char %u", character); }
  void InjectKeyDown(uint32_t key) override { Add("key down %u", key); }
  void InjectKeyUp(uint32_t key) override { Add("key up %u", key); }

  std::vector<std::string> events;
  std::vector<std::thread::id> threads;

 private:
  template <typename... Args>
  void Add(const char* format, Args... args) {
    char text[64];
    std::snprintf(text, sizeof text, format, args...);
    events.push_back(text);
    threads.push_back(std::this_thread::get_id());
  }
};
