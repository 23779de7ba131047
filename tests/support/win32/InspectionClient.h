#pragma once
// The test drivers' side of the inspection hook: asks a window of another
// process for its state and waits for the answer, pumping the caller's
// messages meanwhile.
//
//   std::string json = Testing::Inspect(mainWindow);   // "" when no answer came
//   EXPECT_EQ(Testing::JsonText(json, "view"), "tuning");
#include <windows.h>

#include <optional>
#include <string>

namespace Testing {

// The window's state as UTF-8 JSON; empty when it gave no answer within
// `timeoutMs`.
std::string Inspect(HWND window, DWORD timeoutMs = 3000);

// The text of a top-level string member (escapes of quotes and backslashes
// resolved; no \u escapes); empty when there is none.
std::optional<std::string> JsonText(const std::string& json, const std::string& name);
// A top-level true/false member; empty when there is none.
std::optional<bool> JsonFlag(const std::string& json, const std::string& name);

}  // namespace Testing
