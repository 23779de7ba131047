#pragma once
// windows.h and GDI+ together: GDI+'s headers expect min and max, which the
// rest of the program keeps out of the global namespace.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <objidl.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>
