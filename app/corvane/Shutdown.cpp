#include "app/corvane/Shutdown.h"

namespace AppShell {

void ShutDown(IShutdownSteps& steps)
{
    steps.StopRun();
    steps.SignalShutdown();
    steps.CloseTray();
    steps.StopUpdateCheck();
}

}  // namespace AppShell
