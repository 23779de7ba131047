#include "app/corvane/TrayMessages.h"

namespace AppShell {

namespace {

// The system's message numbers; this file includes no system header.
constexpr unsigned kQueryEndSession = 0x0011;
constexpr unsigned kEndSession = 0x0016;
constexpr unsigned kCommand = 0x0111;
constexpr unsigned kLeftDoubleClick = 0x0203;
constexpr unsigned kRightButtonUp = 0x0205;
constexpr unsigned kBalloonShow = 0x0402;       // NIN_BALLOONSHOW
constexpr unsigned kBalloonUserClick = 0x0405;  // NIN_BALLOONUSERCLICK

TrayAction IconAction(uintptr_t iconId, intptr_t lParam, bool mainWindow)
{
    if (iconId != TrayId::kIcon) {
        return TrayAction::Ignore;
    }
    switch (static_cast<unsigned>(lParam) & 0xFFFF) {
        case kLeftDoubleClick:
            return TrayAction::BringUp;
        case kRightButtonUp:
            return TrayAction::PopUpMenu;
        case kBalloonShow:
            return TrayAction::PostNull;
        case kBalloonUserClick:
            // Only the main window's guard shows balloons.
            return mainWindow ? TrayAction::OpenStartup : TrayAction::Ignore;
        default:
            return TrayAction::Ignore;
    }
}

TrayAction CommandAction(unsigned command, bool mainWindow)
{
    switch (command) {
        case TrayId::kOpen:
            return mainWindow ? TrayAction::BringUp : TrayAction::WindowClosed;
        case TrayId::kAnalyse:
            return mainWindow ? TrayAction::BringUpAnalyse : TrayAction::WindowClosed;
        case TrayId::kExit:
            // Posting to a window that is gone does nothing: a hidden or
            // missing window never keeps the program from ending.
            return TrayAction::Exit;
        default:
            return TrayAction::Default;
    }
}

}  // namespace

TrayAction DecideTrayAction(const TrayMessage& message, unsigned taskbarCreated, bool mainWindow)
{
    if (taskbarCreated != 0 && message.message == taskbarCreated) {
        return TrayAction::ShowIconAgain;
    }
    switch (message.message) {
        case TrayId::kCallbackMessage:
            return IconAction(message.wParam, message.lParam, mainWindow);
        case kCommand:
            return CommandAction(static_cast<unsigned>(message.wParam) & 0xFFFF, mainWindow);
        case kQueryEndSession:
            return TrayAction::AllowEndSession;
        case kEndSession:
            // A cancelled logoff (FALSE) keeps the program running.
            return message.wParam != 0 ? TrayAction::EndSession : TrayAction::Ignore;
        default:
            return TrayAction::Default;
    }
}

}  // namespace AppShell
