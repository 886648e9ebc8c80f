#pragma once
// File-dialog filters are written as "Name|patterns|Name|patterns", the
// patterns separated by ";" (the form the texts of the program and of the
// language file use); Qt's dialogs want "Name (patterns);;Name (patterns)"
// with the patterns separated by spaces.

#include <string>
#include <string_view>

namespace pictova {

// Each name is kept as written, its patterns follow in parentheses:
// "Bilder (*.png, *.bmp)|*.png;*.bmp" -> "Bilder (*.png, *.bmp) (*.png *.bmp)".
// A name without patterns (an odd count of parts) stands alone.
std::string ToQtFileFilter(std::string_view filter);

} // namespace pictova
