// Text crosses from the core (Windows-1252 bytes, CR LF line ends) to the
// widgets (QString, "\n" line ends) and back only through these helpers.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace zelk {

// Windows-1252 → QString; CR LF (and a lone CR) become "\n".
QString ToQ(std::string_view cp1252);
// QString → Windows-1252; every "\n" becomes CR LF. Characters the code page
// cannot hold become '?'.
std::string FromQ(const QString& text);
// Single-line variants: no line-end translation.
QString ToQLine(std::string_view cp1252);
std::string FromQLine(const QString& text);

}  // namespace zelk
