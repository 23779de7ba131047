#pragma once
// What a run tells the user at its end: a warning box and the offer to
// restart Windows. The window shows them as message boxes and the system's
// restart prompt; the command line prints them. The end-of-run messages are
// called on the worker thread, which waits until they return; a tune-up that
// cannot start tells why on the thread that asked for it.
#include <string>

namespace Tweaker {

class IRunMessages {
public:
    virtual void Warn(const std::wstring& caption, const std::wstring& text) = 0;
    virtual void OfferRestart() = 0;

protected:
    ~IRunMessages() = default;
};

}  // namespace Tweaker
