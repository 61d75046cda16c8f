#include "engine/TWStatusText.h"

#include <string_view>

namespace {

std::string textOf(const TWStatusText::Argument& argument) {
    if (const auto* text = std::get_if<std::string>(&argument))
        return *text;
    if (const auto* number = std::get_if<std::uint64_t>(&argument))
        return std::to_string(*number);
    return std::to_string(std::get<std::int64_t>(argument));
}

} // namespace

std::string TWStatusText::fill(const std::string& format, const std::vector<Argument>& arguments) {
    static constexpr std::string_view kConversions[] = {"%qu", "%ld", "%lu", "%u", "%d", "%@"};
    std::string result;
    result.reserve(format.size() + 16);
    std::size_t next = 0;
    std::string_view rest(format);
    while (!rest.empty()) {
        if (rest.substr(0, 2) == "%%") {
            result.push_back('%');
            rest.remove_prefix(2);
            continue;
        }
        bool converted = false;
        for (std::string_view conversion : kConversions) {
            if (rest.substr(0, conversion.size()) == conversion && next < arguments.size()) {
                result += textOf(arguments[next++]);
                rest.remove_prefix(conversion.size());
                converted = true;
                break;
            }
        }
        if (!converted) {
            result.push_back(rest.front());
            rest.remove_prefix(1);
        }
    }
    return result;
}
