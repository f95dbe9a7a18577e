#include "core/ProfilerSample.h"

#include <cfloat>
#include <cstring>

#include "core/TimeStamp.h"

CProfilerSample::CProfilerSample(const char* name)
    : m_minimumPercentage(FLT_MAX), m_maximumPercentage(-FLT_MAX) {
  size_t length = name ? strnlen(name, kMaxName) : 0;
  if (length) std::memcpy(m_name, name, length);
}

void CProfilerSample::Begin() {
  m_running = 1;
  m_beginTime = static_cast<uint32_t>(ReadTimeStamp());
}

void CProfilerSample::End() {
  if (!m_running) return;
  m_accumulatedTime += static_cast<uint32_t>(ReadTimeStamp()) - m_beginTime;
  m_running = 0;
}

int CProfilerSample::IsRunning() { return m_running; }

void CProfilerSample::Update() { Update(m_accumulatedTime); }

void CProfilerSample::Update(uint32_t parentTime) {
  m_averageTime = m_averageTime == 0
                      ? m_accumulatedTime
                      : static_cast<uint32_t>((uint64_t{m_averageTime} + m_accumulatedTime) / 2);
  float percentage =
      parentTime == 0
          ? 100.0f
          : static_cast<float>(static_cast<double>(m_accumulatedTime) * 100.0 / parentTime);
  m_percentageSum += percentage;
  if (percentage > m_maximumPercentage) m_maximumPercentage = percentage;
  if (percentage < m_minimumPercentage) m_minimumPercentage = percentage;
  for (CProfilerSample* child = m_firstChild; child; child = child->m_nextSibling)
    child->Update(m_accumulatedTime);
  ++m_updateCount;
  m_accumulatedTime = 0;
}

int CProfilerSample::ResetStatistics() {
  m_percentageSum = 0.0f;
  m_minimumPercentage = 0.0f;
  m_maximumPercentage = 0.0f;
  return 0;
}

void CProfilerSample::AddChild(CProfilerSample* child) {
  if (!child || child == this) return;
  child->m_parent = this;
  child->m_nextSibling = nullptr;
  if (!m_firstChild) {
    child->m_previousSibling = nullptr;
    m_firstChild = child;
    return;
  }
  CProfilerSample* last = m_firstChild;
  while (last->m_nextSibling) last = last->m_nextSibling;
  last->m_nextSibling = child;
  child->m_previousSibling = last;
}

void CProfilerSample::RemoveChild(CProfilerSample* child) {
  CProfilerSample* found = m_firstChild;
  while (found && found != child) found = found->m_nextSibling;
  if (!found) return;
  child->DeleteChildren();
  if (child->m_previousSibling)
    child->m_previousSibling->m_nextSibling = child->m_nextSibling;
  else
    m_firstChild = child->m_nextSibling;
  if (child->m_nextSibling) child->m_nextSibling->m_previousSibling = child->m_previousSibling;
  child->m_parent = child->m_nextSibling = child->m_previousSibling = nullptr;
  delete child;
}

void CProfilerSample::DeleteChildren() {
  while (m_firstChild) {
    CProfilerSample* child = m_firstChild;
    m_firstChild = child->m_nextSibling;
    child->DeleteChildren();
    delete child;
  }
}

float CProfilerSample::GetAveragePercentage() const {
  return m_updateCount == 0 ? 0.0f : m_percentageSum / static_cast<float>(m_updateCount);
}
