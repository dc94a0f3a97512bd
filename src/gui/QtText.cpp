#include "gui/QtText.h"

#include "common/Cp1252.h"

namespace zelk {

QString ToQLine(std::string_view cp1252) {
    const std::string utf8 = Cp1252ToUtf8(cp1252);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQLine(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToCp1252(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

QString ToQ(std::string_view cp1252) { return ToQLine(ToUnixLineEnds(cp1252)); }

std::string FromQ(const QString& text) {
    const std::string bytes = FromQLine(text);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    for (char c : bytes) {
        if (c == '\n') out += "\r\n";
        else out += c;
    }
    return out;
}

}  // namespace zelk
