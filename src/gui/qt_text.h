#pragma once
// Between the core's texts and colours and Qt's: UTF-8 to QString and back, and the colours of the settings
// (red in the low byte, then green and blue) to QColor and back.

#include <QColor>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace tav {

inline QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

inline std::string utf8(const QString& s) {
    return s.toStdString();
}

inline QColor colourOf(std::int32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

inline std::int32_t colourValue(const QColor& c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

}  // namespace tav
