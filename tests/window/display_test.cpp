// The window tests need a real display: under Wine that is the Xvfb display
// the test fixture starts. This checks that a top-level window can be made,
// shown and painted there before anything richer relies on it.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(Display, TopLevelWindowIsCreatedShownAndSized) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = PlainWindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"Corvane.DisplayTest";
  ASSERT_NE(RegisterClassExW(&windowClass), 0) << "error " << GetLastError();

  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Display test", WS_OVERLAPPEDWINDOW, 40, 40, 320,
                                200, nullptr, nullptr, instance, nullptr);
  ASSERT_NE(window, nullptr) << "CreateWindowExW failed with error " << GetLastError()
                             << " (is DISPLAY set to a running X server?)";
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);

  EXPECT_TRUE(IsWindow(window));
  EXPECT_TRUE(IsWindowVisible(window));
  RECT client{};
  ASSERT_TRUE(GetClientRect(window, &client));
  EXPECT_GT(client.right, 0);
  EXPECT_GT(client.bottom, 0);

  EXPECT_TRUE(DestroyWindow(window));
  EXPECT_FALSE(IsWindow(window));
  UnregisterClassW(windowClass.lpszClassName, instance);
}

}  // namespace
