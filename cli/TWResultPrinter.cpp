#include "cli/TWResultPrinter.h"

#include "engine/TWStatusText.h"
#include "platform/TWDisplayText.h"

namespace {

void writeBytes(std::FILE* out, std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), out);
}

} // namespace

std::string groupRowText(TWDuplicateGroup& group) {
    return TWStatusText::fill("%d like '%@' (%@)",
                              {static_cast<std::int64_t>(group.count()),
                               displayTextForBytes(group.firstNode()->lastPathComponent()),
                               group.sizeString()});
}

std::string jsonStringForBytes(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string json = "\"";
    while (!bytes.empty()) {
        unsigned char c = static_cast<unsigned char>(bytes.front());
        if (c >= 0x80) {
            // Find the longest valid prefix sequence of this character.
            std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
            if (length <= bytes.size() && length > 1 && isValidUtf8(bytes.substr(0, length))) {
                json.append(bytes.substr(0, length));
                bytes.remove_prefix(length);
            } else {
                json += "\\udc";
                json.push_back(kHex[c >> 4]);
                json.push_back(kHex[c & 0xF]);
                bytes.remove_prefix(1);
            }
            continue;
        }
        switch (c) {
        case '"': json += "\\\""; break;
        case '\\': json += "\\\\"; break;
        case '\n': json += "\\n"; break;
        case '\r': json += "\\r"; break;
        case '\t': json += "\\t"; break;
        case '\b': json += "\\b"; break;
        case '\f': json += "\\f"; break;
        default:
            if (c < 0x20) {
                json += "\\u00";
                json.push_back(kHex[c >> 4]);
                json.push_back(kHex[c & 0xF]);
            } else {
                json.push_back(static_cast<char>(c));
            }
        }
        bytes.remove_prefix(1);
    }
    json.push_back('"');
    return json;
}

void printGroups(std::FILE* out, const std::vector<TWDuplicateGroupRef>& groups,
                 const TWCommandLineOptions& options) {
    using Output = TWCommandLineOptions::Output;
    if (options.output == Output::json) {
        std::fputs("[", out);
        for (std::size_t g = 0; g < groups.size(); ++g) {
            std::fputs(g == 0 ? "\n  [" : ",\n  [", out);
            const auto& nodes = groups[g]->fsNodes();
            for (std::size_t n = 0; n < nodes.size(); ++n) {
                if (n > 0)
                    std::fputs(", ", out);
                writeBytes(out, jsonStringForBytes(nodes[n]->absolutePath()));
            }
            std::fputs("]", out);
        }
        std::fputs(groups.empty() ? "]\n" : "\n]\n", out);
        return;
    }
    bool nul = options.output == Output::nulSeparated;
    char end = nul ? '\0' : '\n';
    for (const TWDuplicateGroupRef& group : groups) {
        if (options.summary) {
            writeBytes(out, groupRowText(*group));
            std::fputc(end, out);
        }
        for (const TWFileSystemPathRef& node : group->fsNodes()) {
            writeBytes(out, node->absolutePath());
            std::fputc(end, out);
        }
        std::fputc(end, out);
    }
}
