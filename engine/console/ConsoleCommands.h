#pragma once
// The engine's own console commands, registered as global script functions in this order:
// GetRendererDescription, ShowToolBox, ShowStatistics, GetNumberOfVisibleMeshes,
// GetNumberOfVisibleLights, GetNumberOfVisibleShadowVolumes, Quit, GetMemoryUsage, ShowBones.
// Most open a live line that rewrites itself every frame from current engine values. A command
// the script engine refuses is left out; nothing else changes.
class CConsole;

void RegisterConsoleCommands(CConsole& console);
