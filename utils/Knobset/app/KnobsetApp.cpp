#include "utils/Knobset/app/KnobsetApp.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include "utils/Knobset/app/KnobsetDlg.h"

std::wstring CKnobsetApp::FileFromCommandLine(const wchar_t* commandLine)
{
    if (!commandLine || !*commandLine) {
        return {};
    }
    int count = 0;
    LPWSTR* args = ::CommandLineToArgvW(commandLine, &count);
    if (!args) {
        return {};
    }
    std::wstring file = count > 1 ? args[1] : L"";
    ::LocalFree(args);
    return file;
}

int CKnobsetApp::Run(const wchar_t* commandLine)
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    // The file dialogs and the shell expect a single-threaded apartment.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    CKnobsetDlg dialog(instance_, FileFromCommandLine(commandLine));
    const INT_PTR result = dialog.DoModal();
    if (SUCCEEDED(com)) {
        ::CoUninitialize();
    }
    return result == -1 ? 1 : 0;
}
