#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <vector>

#include "engine/core/String.h"

namespace zav {

// One monitor of the desktop: its rectangle in desktop pixels and whether it
// is the primary one (the one the scene's window is on).
struct MonitorArea {
    RECT rect;
    bool primary;
};

// The monitors of the desktop, in the system's order.
std::vector<MonitorArea> ListMonitors();

// What lists the monitors. Tests put their own in place of the system's;
// null puts the system's back. Returns the one it replaces (null for the
// system's).
using MonitorListFunction = std::vector<MonitorArea> (*)();
MonitorListFunction SetMonitorListFunction(MonitorListFunction function);

// Black windows over the monitors the scene does not run on, so that nothing
// of the desktop shows while the screensaver runs. They share the scene
// window's procedure: their input ends the run like the scene window's.
class MonitorCovers {
public:
    MonitorCovers() = default;
    MonitorCovers(const MonitorCovers&) = delete;
    MonitorCovers& operator=(const MonitorCovers&) = delete;
    ~MonitorCovers() { Close(); }

    // One window over every monitor but the primary one, each placed just
    // below `sceneWindow`, so that a monitor overlapping the primary one never
    // hides the scene. 0 success (also with nothing to cover), 1 when a
    // window could not be made (the others stay open).
    int Open(const std::vector<MonitorArea>& monitors, HWND sceneWindow, const String& title);
    // Destroys the windows and unregisters their class.
    void Close();

    const std::vector<HWND>& GetWindows() const { return windows_; }

private:
    std::vector<HWND> windows_;
    std::wstring className_;
};

}  // namespace zav
