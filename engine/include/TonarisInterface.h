#pragma once
// The engine's sound server as the game and the scripts see it. Operations report failure with
// a 0 result; volumes are hundredths of a decibel (0 full, -10000 silent); 3D settings are
// deferred until TonarisInterface::Apply.
#include "windef.h"

struct TonarisConfig;
class TonarisStream;
class TonarisListener;

class TonarisInterface {
 public:
  virtual UINT Init(TonarisConfig* config) = 0;
  virtual UINT GetGlobalVolume() = 0;
  virtual void SetGlobalVolume(UINT volume) = 0;
  virtual UINT Play() = 0;
  virtual UINT Stop() = 0;
  // A wave, Ogg Vorbis or MP3 sound chosen by the name's extension; 1 with *stream set, or 0.
  virtual UINT LoadStream(const char* name, TonarisStream** stream, UINT flags) = 0;
  virtual UINT Deinit() = 0;
  virtual UINT GetNumberOfDevices() = 0;
  virtual const char* GetDeviceName(UINT device) = 0;
  virtual UINT GetDeviceFreeHw3DStaticBuffers(UINT device) = 0;
  virtual UINT GetDeviceFreeHw3DStreamingBuffers(UINT device) = 0;
  virtual UINT GetDeviceFreeHwStreamingBuffers(UINT device) = 0;
  virtual UINT GetDeviceFreeHwStaticBuffers(UINT device) = 0;
  virtual UINT GetDeviceFreeHwMemory(UINT device) = 0;
  virtual UINT GetDeviceCapsValid(UINT device) = 0;
  // Made on first use.
  virtual TonarisListener* GetListenerInterface() = 0;
  // Commits every deferred 3D setting.
  virtual UINT Apply() = 0;
  virtual float GetDistanceFactor() = 0;
  virtual float GetDopplerFactor() = 0;
  virtual float GetRolloffFactor() = 0;
  virtual UINT SetDistanceFactor(float factor) = 0;
  virtual UINT SetDopplerFactor(float factor) = 0;
  virtual UINT SetRolloffFactor(float factor) = 0;

 protected:
  ~TonarisInterface() = default;
};

// One loaded sound. The server keeps its sounds in a list linked through GetNext/GetPrevious.
class TonarisStream {
 public:
  // Refills the stream's buffer (called by the server's refill thread).
  virtual UINT Update() = 0;
  virtual UINT DecodeData(BYTE* buffer, int length) = 0;
  virtual UINT GetIsPlayed() = 0;
  virtual UINT Play() = 0;
  virtual UINT Stop() = 0;
  virtual UINT Reset() = 0;
  virtual UINT SetPositionInSeconds(double seconds) = 0;
  virtual UINT SetPositionInBytes(UINT bytes) = 0;
  virtual double GetPositionInSeconds() = 0;
  virtual UINT GetPositionInBytes() = 0;
  virtual UINT SetVolume(int volume) = 0;
  virtual int GetVolume() = 0;
  // Unlinks the sound from the server and frees it.
  virtual void Release() = 0;
  virtual float GetMaxDistance() = 0;
  virtual float GetMinDistance() = 0;
  virtual UINT SetMinDistance(float distance) = 0;
  virtual UINT SetMaxDistance(float distance) = 0;
  virtual UINT SetFrequency(UINT frequency) = 0;
  // 0xFFFFFFFF when it cannot be read.
  virtual UINT GetFrequency() = 0;
  virtual UINT GetPosition(float& x, float& y, float& z) = 0;
  virtual UINT SetPosition(float x, float y, float z) = 0;
  virtual UINT GetVelocity(float& x, float& y, float& z) = 0;
  virtual UINT SetVelocity(float x, float y, float z) = 0;
  virtual UINT GetConeAngles(UINT& inside, UINT& outside) = 0;
  virtual UINT SetConeAngles(UINT inside, UINT outside) = 0;
  virtual UINT GetConeOrientation(float& x, float& y, float& z) = 0;
  virtual UINT SetConeOrientation(float x, float y, float z) = 0;
  virtual int GetConeOutsideVolume() = 0;
  virtual UINT SetConeOutsideVolume(int volume) = 0;
  virtual int GetPan() = 0;
  virtual UINT SetPan(int pan) = 0;
  virtual TonarisStream* GetNext() = 0;
  virtual void SetNext(TonarisStream* next) = 0;
  virtual TonarisStream* GetPrevious() = 0;
  virtual void SetPrevious(TonarisStream* previous) = 0;

 protected:
  ~TonarisStream() = default;
};

// The ear of the 3D sound scene.
class TonarisListener {
 public:
  virtual UINT GetOrientation(float& frontX, float& frontY, float& frontZ, float& topX,
                              float& topY, float& topZ) = 0;
  virtual UINT SetOrientation(float frontX, float frontY, float frontZ, float topX, float topY,
                              float topZ) = 0;
  virtual UINT GetPosition(float& x, float& y, float& z) = 0;
  virtual UINT SetPosition(float x, float y, float z) = 0;
  virtual UINT GetVelocity(float& x, float& y, float& z) = 0;
  virtual UINT SetVelocity(float x, float y, float z) = 0;

 protected:
  ~TonarisListener() = default;
};
