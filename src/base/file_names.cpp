#include "base/file_names.h"

#include <cctype>

#include "base/text_encoding.h"

namespace pagemeld {

bool endsInPdf(const std::string& name) {
    if (name.size() < 3) return false;
    std::string ending = name.substr(name.size() - 3);
    for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ending == "pdf";
}

std::string nameLessExtension(const std::string& name) {
    constexpr std::size_t kExtension = 4;
    const std::size_t length = utf8Length(name);
    return length > kExtension ? utf8Left(name, length - kExtension) : std::string();
}

}  // namespace pagemeld
