// Knobset's entry point.
#include <windows.h>

#include "utils/Knobset/app/KnobsetApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    CKnobsetApp app(instance);
    return app.Run(::GetCommandLineW());
}
