#pragma once
// One service a subsystem asks of another, as the engine context holds it. The interface lives
// in the folder of the subsystem that needs it, with a do-nothing default object returned by its
// static `Default()`; the port answers with that object until start-up sets the real provider
// and again once shutdown resets it, so callers never test for null.
template <class Interface>
class TEnginePort {
 public:
  Interface* operator->() const { return Get(); }
  Interface* Get() const { return m_pProvider != nullptr ? m_pProvider : &Interface::Default(); }
  // Start-up steps set the provider (null leaves the default); shutdown resets it.
  void Set(Interface* provider) { m_pProvider = provider; }
  void Reset() { m_pProvider = nullptr; }
  bool IsDefault() const { return Get() == &Interface::Default(); }

 private:
  Interface* m_pProvider = nullptr;
};
