// The model keeps its texts as UTF-8 std::string; Qt keeps QString.
#pragma once

#include <QString>

#include <string>

namespace pagemeld {

inline QString toQt(const std::string& text) {
    return QString::fromStdString(text);
}

inline std::string fromQt(const QString& text) {
    return text.toStdString();
}

}  // namespace pagemeld
