#pragma once
#include <cstddef>
#include <string>

namespace tolva::cli {

// The single-byte code page a module's texts were written in.
enum class CodePage { Latin1, Cp437 };

// The code page of the trackers that wrote a format: the Amiga's Latin-1 for MOD files, the PC's
// code page 437 for the rest.
CodePage codePageOf(unsigned formatType);

// A name or title from a module, up to its first NUL or `capacity` bytes, in UTF-8: blanks at
// the end dropped, control characters shown as '?'.
std::string moduleText(const char* bytes, std::size_t capacity, CodePage page);
// A song message: the same, with its line ends (CR, LF or CR LF) as '\n' and each line's
// trailing blanks dropped.
std::string messageText(const char* text, CodePage page);
// A file name or other UTF-8 text made safe for the terminal: control characters and bytes that
// are not UTF-8 shown as '?'.
std::string terminalText(const std::string& text);

// Characters in UTF-8 text, each taken as one column.
std::size_t columns(const std::string& text);
// The text cut to `width` columns, the cut marked with "...".
std::string fitted(const std::string& text, int width);

} // namespace tolva::cli
