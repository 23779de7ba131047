#include "app/corvane/Shutdown.h"

namespace AppShell {

void ShutDown(IShutdownSteps& steps)
{
    steps.SignalShutdown();
    steps.StopRun();
    steps.CloseTray();
    steps.StopUpdateCheck();
}

}  // namespace AppShell
