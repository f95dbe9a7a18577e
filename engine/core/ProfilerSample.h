#pragma once
// A named timing sample in the profiler's tree. Begin and End mark the time spent; Update turns
// the time accumulated since the last update into a percentage of the parent's time and passes
// its own time down to its children.
#include <cstdint>

class CProfilerSample {
 public:
  static constexpr int kMaxName = 255;

  explicit CProfilerSample(const char* name);
  CProfilerSample(const CProfilerSample&) = delete;
  CProfilerSample& operator=(const CProfilerSample&) = delete;

  virtual void Begin();
  virtual void End();
  virtual int IsRunning();
  // The update of a root: its own accumulated time is the parent's time.
  virtual void Update();
  virtual int ResetStatistics();
  // Deletes `child` with its subtree when it is one of this sample's children.
  virtual void RemoveChild(CProfilerSample* child);
  // Appends `child` at the end of the children.
  virtual void AddChild(CProfilerSample* child);
  // Last, so that the operations above keep their slots.
  virtual ~CProfilerSample() = default;

  // Updates with the parent's time in ticks.
  void Update(uint32_t parentTime);
  // Deletes every child with its subtree.
  void DeleteChildren();

  const char* GetName() const { return m_name; }
  CProfilerSample* GetFirstChild() const { return m_firstChild; }
  CProfilerSample* GetNextSibling() const { return m_nextSibling; }
  CProfilerSample* GetParent() const { return m_parent; }
  uint32_t GetUpdateCount() const { return m_updateCount; }
  uint32_t GetAverageTime() const { return m_averageTime; }
  float GetMinimumPercentage() const { return m_minimumPercentage; }
  float GetMaximumPercentage() const { return m_maximumPercentage; }
  // Percentage sum over update count; 0 before the first update.
  float GetAveragePercentage() const;

 private:
  CProfilerSample* m_firstChild = nullptr;
  CProfilerSample* m_nextSibling = nullptr;
  CProfilerSample* m_previousSibling = nullptr;
  CProfilerSample* m_parent = nullptr;
  char m_name[kMaxName + 1] = {};
  uint32_t m_updateCount = 0;
  uint32_t m_accumulatedTime = 0;
  uint32_t m_averageTime = 0;
  uint32_t m_beginTime = 0;
  float m_percentageSum = 0.0f;
  float m_minimumPercentage;
  float m_maximumPercentage;
  int m_running = 0;
};
