#pragma once
// The list of rendering-scheme records an adapter is tested against: the application's own
// records first, then every built-in record whose scheme bit none of them carries. Also the
// test of one record against an adapter's enumeration and the choice of the best scheme.
#include "ZKDXGlobals.h"

class CD3D9Enumeration;
class CEngineLog;

// The requirement fields of a scheme record, by what they demand of the caps.
enum SchemeRequirement {
  SCHEME_VS20_CAPS,                     // any shared bit; 0 = no demand
  SCHEME_PS20_CAPS,                     // any shared bit; 0 = no demand
  SCHEME_VS20_DYNAMIC_FLOW_CONTROL_DEPTH,  // signed minimum
  SCHEME_VS20_NUM_TEMPS,                // signed minimum
  SCHEME_MAX_VS30_INSTRUCTION_SLOTS,    // unsigned minimum
  SCHEME_PS20_DYNAMIC_FLOW_CONTROL_DEPTH,  // signed minimum
  SCHEME_PS20_NUM_INSTRUCTION_SLOTS,    // signed minimum
  SCHEME_PS20_NUM_TEMPS,                // signed minimum
  SCHEME_MAX_PS30_INSTRUCTION_SLOTS,    // unsigned minimum
};
// The format fields of a scheme record (any shared bit; 0 = no demand).
enum SchemeFormatDemand {
  SCHEME_RENDER_TARGET_FORMATS,
  SCHEME_CUBE_RENDER_TARGET_FORMATS,
  SCHEME_TEXTURE_FORMATS,
  SCHEME_CUBE_TEXTURE_FORMATS,
};

class CRenderingSchemes {
 public:
  static constexpr DWORD kCapacity = 9;
  static constexpr DWORD kBuiltInCount = 7;
  static constexpr DWORD kRecordSize = 360;

  // The built-in records, weakest first: "GeForce" to "GeForce6800".
  static const RenderingScheme* BuiltIn(DWORD index);

  // Starts the list with the application's records and appends the built-in ones whose bit
  // they do not carry. Records beyond the list's room and records whose size word is not 360
  // are left out with a warning; each name is cut to its field. Returns the count.
  DWORD Build(const RenderingScheme* applicationRecords, DWORD applicationCount, CEngineLog* log);
  // Keeps a copy of at most kCapacity records, as they are.
  void Set(const RenderingScheme* records, DWORD count);

  DWORD GetNumberOfSchemes() const { return m_dwCount; }
  // How many of the records came from the application (they come first).
  DWORD GetApplicationCount() const { return m_dwApplicationCount; }
  // Record `index`, or null at or past the count.
  const RenderingScheme* GetScheme(DWORD index) const {
    return index < m_dwCount ? &m_Records[index] : nullptr;
  }

  // Whether the adapter meets every demand of the record.
  static bool IsCompatible(const RenderingScheme& record, const CD3D9Enumeration& enumeration);
  // The best scheme bit of `mask`, GeForce6800 first; 0 when it holds none.
  static DWORD SelectBest(DWORD mask);
  // The log name of a scheme bit ("GeForce2" to "GeForce6800"); null for a value that is not
  // one scheme bit.
  static const char* SchemeName(DWORD scheme);

 private:
  RenderingScheme m_Records[kCapacity] = {};
  DWORD m_dwCount = 0;
  DWORD m_dwApplicationCount = 0;
};
