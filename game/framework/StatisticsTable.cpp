#include "framework/StatisticsTable.h"

#include "ZKDXInterface.h"

geSStatisticsRow g_StatisticsTable[STAT_ROW_COUNT] = {
    {0.0f, "STAT_ANGEL", "AS: "},        {0.0f, "STAT_UPDATE", "Update: "},
    {0.0f, "STAT_PROCESS", "Process: "}, {0.0f, "STAT_RENDER", "Render: "},
    {0.0f, "STAT_ZEKORB", "ZeKorb:"},    {0.0f, "STAT_TOKAMAK", "Physics: "},
};

CTimerInterface* g_pStatisticsTimer = nullptr;

float geStatisticsTime() { return g_pStatisticsTimer ? g_pStatisticsTimer->GetTime() : 0.0f; }

void geAddStatisticsTime(geEStatisticsRow eRow, float fSince) {
  if (eRow < 0 || eRow >= STAT_ROW_COUNT) return;
  g_StatisticsTable[eRow].fSeconds += geStatisticsTime() - fSince;
}
