#pragma once
// An object that holds device objects of its own and must let them go while the video mode
// changes; the application core tells every listener it keeps.
class geCVideoModeListener {
 public:
  virtual void ReleaseDeviceObjects() = 0;
  virtual void RestoreDeviceObjects() = 0;

 protected:
  ~geCVideoModeListener() = default;
};
