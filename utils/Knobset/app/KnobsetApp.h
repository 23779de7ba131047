#pragma once
// The Knobset program: starts the common controls and COM, and runs the
// dialog on the file named on the command line (the main program passes the
// user's tweak file), or on an empty editor without one.
#include <windows.h>

#include <string>

class CKnobsetApp {
public:
    explicit CKnobsetApp(HINSTANCE instance) : instance_(instance) {}

    // commandLine is the whole command line, program name first.
    int Run(const wchar_t* commandLine);

    // The file named after the program name, or empty.
    static std::wstring FileFromCommandLine(const wchar_t* commandLine);

private:
    HINSTANCE instance_;
};
