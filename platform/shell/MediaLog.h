#pragma once
// The platform has no log file of its own: the archive, video, shell and registry calls report
// what the caller should know (a refused archive, a recorded wallpaper) as one line on standard
// error, "zkplatform <area>: <text>".

__attribute__((visibility("hidden"), format(printf, 2, 3))) void ZkMediaLog(const char* area,
                                                                            const char* format,
                                                                            ...);
