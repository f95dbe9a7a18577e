#include "core/Profiler.h"

#include <windows.h>
#include <mmsystem.h>

#include <cmath>
#include <cstdio>

#include "core/EngineContext.h"
#include "core/FatalError.h"
#include "core/ProfilerSample.h"
#include "zkplatform/ZkPaths.h"

namespace {

const char kSeparator[] = "-----------------------------------------------------\n";

float SecondsNow() { return static_cast<float>(timeGetTime()) * 0.001f; }

// Percentages outside 0 to 100 (a sample never updated keeps its starting extremes) print as 0.
double Printable(float percentage) {
  return std::isfinite(percentage) && percentage >= 0.0f && percentage <= 100.0f ? percentage : 0.0;
}

void WriteSampleTree(FILE* file, CProfilerSample* sample, int indent) {
  fprintf(file, "| %7.02f | %7.02f | %7.02f | %*s- %s\n", Printable(sample->GetMinimumPercentage()),
          Printable(sample->GetMaximumPercentage()),
          static_cast<double>(sample->GetAveragePercentage()), indent, "", sample->GetName());
  fflush(file);
  for (CProfilerSample* child = sample->GetFirstChild(); child; child = child->GetNextSibling())
    WriteSampleTree(file, child, indent + 2);
}

}  // namespace

CProfilerSample* CProfiler::CreateSample(const char* name) {
  return NewOrFatal<CProfilerSample>("Error While Initializing", "Can't Create Profiler", name);
}

void CProfiler::DeleteSample(CProfilerSample* sample) {
  if (!sample) return;
  if (sample == m_root) m_root = nullptr;
  if (CProfilerSample* parent = sample->GetParent()) {
    parent->RemoveChild(sample);
    return;
  }
  sample->DeleteChildren();
  delete sample;
}

void CProfiler::ClearCounters() {
  for (int i = 0; i < kCounterCount; ++i)
    m_averages[i] = m_previous[i] = m_lastSecondTotals[i] = m_counters[i] = 0;
  m_windowStart = 0.0f;
}

CProfilerSample* CProfiler::GetRootSample() { return m_root; }

void CProfiler::EndFrame() {
  // Within a second the counters only grow, so counter - previous is this frame's count. The
  // first frame sets the average without recording the counter as previous.
  for (int i = 0; i < kCounterCount; ++i) {
    if (m_averages[i] == 0) {
      m_averages[i] = m_counters[i];
    } else {
      m_averages[i] =
          static_cast<uint32_t>((uint64_t{m_counters[i] - m_previous[i]} + m_averages[i]) / 2);
      m_previous[i] = m_counters[i];
    }
  }
  float now = SecondsNow();
  if (m_windowStart == 0.0f) {
    m_windowStart = now;
  } else if (now - m_windowStart >= 1.0f) {
    for (int i = 0; i < kCounterCount; ++i) {
      m_lastSecondTotals[i] = m_counters[i];
      m_counters[i] = m_previous[i] = 0;
    }
    m_windowStart = now;
  }
}

void CProfiler::DumpStatistics(const char* fileName, CProfilerSample* root) {
  CEngineContext* context = GetEngineContext();
  if (!context->DescriptorUsesLogs() || !fileName) return;
  const char* logFolder = context->GetDescriptorLogFolder();
  std::string path = logFolder ? std::string(logFolder) + "\\" + fileName
                               : std::string(context->GetApplicationFolder()) + fileName;
  WriteStatistics(path, root);
}

bool CProfiler::WriteStatistics(const std::string& path, CProfilerSample* root) {
  FILE* file = ZkFileOpen(path.c_str(), "w");
  if (!file) return false;
  fputs(kSeparator, file);
  fputs("|    Min  |    Max  |    Avg  | Sample Name\n", file);
  fputs(kSeparator, file);
  if (root) WriteSampleTree(file, root, 0);
  fputs(kSeparator, file);
  fputs("\n\n", file);
  fprintf(file, "Average Number Of DIPs Per Frame: %i\n", static_cast<int>(m_averages[kDIPs]));
  fprintf(file, "Average Number Of Triangles Per Frame: %i\n",
          static_cast<int>(m_averages[kTriangles]));
  fprintf(file, "Average Number Of SetTexture Per Frame: %i\n",
          static_cast<int>(m_averages[kSetTexture]));
  fprintf(file, "Average Number Of Vertices Per Frame: %i\n",
          static_cast<int>(m_averages[kVertices]));
  fprintf(file, "Average Number Of SetVertexShader Per Frame: %i\n",
          static_cast<int>(m_averages[kSetVertexShader]));
  fprintf(file, "Average Number Of SetPixelShader Per Frame: %i\n",
          static_cast<int>(m_averages[kSetPixelShader]));
  fprintf(file, "Average Number Of SetVertexBuffer Per Frame: %i\n",
          static_cast<int>(m_averages[kSetVertexBuffer]));
  fclose(file);
  return true;
}
