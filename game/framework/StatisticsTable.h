#pragma once
// The frame statistics the main loop shows when the core's "statistics" property is 1: seconds
// spent per kind of work since the last display, each shown on the text node of its row.
class CTimerInterface;

struct geSStatisticsRow {
  float fSeconds;
  char szNodeName[256];
  char szLabel[256];
};

enum geEStatisticsRow : int {
  STAT_ROW_SCRIPT = 0,  // script execution
  STAT_ROW_UPDATE,      // the root node's update pass
  STAT_ROW_PROCESS,     // the root node's process pass
  STAT_ROW_RENDER,      // the core's render list
  STAT_ROW_ENGINE,      // clear, begin, fonts, logo, end and flip
  STAT_ROW_PHYSICS,     // nothing in the framework adds to it
  STAT_ROW_COUNT
};

extern geSStatisticsRow g_StatisticsTable[STAT_ROW_COUNT];
// The one timer every measurement of the table reads; made while the core creates its managers,
// null before.
extern CTimerInterface* g_pStatisticsTimer;

// The statistics timer's time in seconds; 0 while there is no timer, so measurements made before
// it exists add nothing.
float geStatisticsTime();
// Adds the time elapsed since `fSince` (a geStatisticsTime reading) to the row.
void geAddStatisticsTime(geEStatisticsRow eRow, float fSince);
