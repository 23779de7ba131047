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
#include <vector>

namespace Testing {

// The window's state as UTF-8 JSON; empty when it gave no answer within
// `timeoutMs`.
std::string Inspect(HWND window, DWORD timeoutMs = 3000);

// The text of a top-level string member (escapes of quotes and backslashes
// resolved; no \u escapes); empty when there is none.
std::optional<std::string> JsonText(const std::string& json, const std::string& name);
// A top-level true/false member; empty when there is none.
std::optional<bool> JsonFlag(const std::string& json, const std::string& name);
// A top-level integer member; empty when there is none.
std::optional<long long> JsonNumber(const std::string& json, const std::string& name);
// A top-level [x,y] member; empty when there is none or it is null.
std::optional<POINT> JsonPoint(const std::string& json, const std::string& name);
// The objects of a top-level array member, each as its own JSON text.
std::vector<std::string> JsonObjects(const std::string& json, const std::string& array);
// The object of the array whose "name" is `name`; empty when there is none.
std::string JsonObjectNamed(const std::string& json, const std::string& array, const std::string& name);

}  // namespace Testing
