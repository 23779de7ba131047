#pragma once
// A one-line text shortened to a width: whole words kept and "…" after them,
// or, when not even the first word fits, as many characters as fit. The
// toolkit does this itself because some GDI+ implementations clip the text
// at the edge instead of trimming it.
#include <functional>
#include <string>

namespace GUI::Aqua {

// `widthOf` measures a text in the units of `width`.
std::wstring FitWithEllipsis(const std::wstring& text, double width,
                             const std::function<double(const std::wstring&)>& widthOf);

}  // namespace GUI::Aqua
