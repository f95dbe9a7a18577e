#pragma once
// The frame statistics: running halving averages of the Direct3D calls a frame makes, and the
// writer of "statistics.txt" with the timing samples' percentages.
#include <cstdint>
#include <string>

class CProfilerSample;

class CProfiler {
 public:
  // The counters the Direct3D layer feeds.
  enum Counter {
    kTriangles,
    kVertices,
    kDIPs,
    kSetTexture,
    kSetVertexBuffer,
    kSetVertexShader,
    kSetPixelShader,
    kCounterCount
  };

  CProfiler() = default;
  CProfiler(const CProfiler&) = delete;
  CProfiler& operator=(const CProfiler&) = delete;

  // A new sample of that name; null when memory runs out.
  virtual CProfilerSample* CreateSample(const char* name);
  // Removes the sample from its parent, or deletes it with its subtree when it has none.
  virtual void DeleteSample(CProfilerSample* sample);
  // Writes `fileName` into the application's log folder (or the engine library's folder) when
  // the application keeps logs.
  virtual void DumpStatistics(const char* fileName, CProfilerSample* root);
  virtual void ClearCounters();
  virtual CProfilerSample* GetRootSample();
  // Last, so that the operations above keep their slots.
  virtual ~CProfiler() = default;

  void SetRootSample(CProfilerSample* root) { m_root = root; }
  void AddToCounter(Counter counter, uint32_t amount) { m_counters[counter] += amount; }
  uint32_t GetAverage(Counter counter) const { return m_averages[counter]; }
  uint32_t GetLastSecondTotal(Counter counter) const { return m_lastSecondTotals[counter]; }
  // Called once a frame by the Direct3D layer's flip.
  void EndFrame();
  // Writes the statistics file at `path`; false when it cannot be created.
  bool WriteStatistics(const std::string& path, CProfilerSample* root);

 private:
  uint32_t m_averages[kCounterCount] = {};
  uint32_t m_previous[kCounterCount] = {};
  uint32_t m_lastSecondTotals[kCounterCount] = {};
  float m_windowStart = 0.0f;  // seconds; 0 before the first frame
  uint32_t m_counters[kCounterCount] = {};
  CProfilerSample* m_root = nullptr;
};
