#pragma once
// A node that shows a line of text it is handed; the frame statistics find such nodes by name.
class geCTextReceiver {
 public:
  virtual void SetText(const char* szText) = 0;

 protected:
  ~geCTextReceiver() = default;
};
