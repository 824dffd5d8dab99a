// A console program, so that cmd and PowerShell wait for the viewer, show
// what freeglut says when it cannot open a window, and hand on the exit
// status. Started from Explorer or the Start menu, Windows gives a console
// program a console window of its own (unless the manifest's console policy
// spares it one): the viewer lets go of that one as it starts, so no empty
// console stays beside it. A console shared with a terminal is left alone.
#include <windows.h>

namespace
{

bool releaseOwnConsole()
{
    DWORD processes[2];
    if (GetConsoleProcessList(processes, 2) == 1)
        return FreeConsole() != 0;
    return false;
}

// Before main: the console window goes before the viewer's window appears.
[[maybe_unused]] const bool consoleReleased = releaseOwnConsole();

} // namespace
