#include "platform/TWPackageRule.h"

#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

constexpr std::string_view kPackageExtensions[] = {
    "app",       "bundle",       "framework",     "plugin",     "kext",        "pkg",
    "mpkg",      "rtfd",         "photoslibrary", "xcodeproj",  "xcworkspace", "playground",
    "appex",     "xpc",          "qlgenerator",   "mdimporter", "prefPane",    "saver",
    "wdgt",      "component",    "vst",           "vst3",       "key",         "pages",
    "numbers",   "sparsebundle", "fcpbundle",     "logicx",     "band",        "musiclibrary",
    "aplibrary", "dSYM",
};

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    return true;
}

} // namespace

namespace TWPackageRule {

bool hasPackageExtension(std::string_view extension) {
    for (std::string_view known : kPackageExtensions)
        if (equalIgnoringAsciiCase(extension, known))
            return true;
    return false;
}

bool isFilePackage(TWItemLocation folder, std::string_view extension) {
    if (hasPackageExtension(extension))
        return true;
    if (folder.name == nullptr || folder.name[0] == '\0')
        return false;
    std::string infoPlist(folder.name);
    infoPlist += "/Contents/Info.plist";
    return ::faccessat(folder.directoryFd, infoPlist.c_str(), F_OK, 0) == 0;
}

} // namespace TWPackageRule
