#pragma once
// What scripts reach through GetZeKorbD3DInterface(): the engine's one top interface. Start-up
// sets the provider as the context's port; until then, and after shutdown, scripts get null.
class CZeKorbD3DInterface;

class CScriptTopInterface {
 public:
  virtual CZeKorbD3DInterface* GetTopInterface() = 0;

  static CScriptTopInterface& Default();

 protected:
  ~CScriptTopInterface() = default;
};
