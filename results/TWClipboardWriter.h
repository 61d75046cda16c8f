#pragma once

#include <QMimeData>
#include <memory>
#include <string>

// Puts one absolute path on the clipboard as plain text. The text is the path read as UTF-8;
// when the path's bytes are not UTF-8 that text cannot name the file, so the exact bytes go
// along as a percent-encoded text/uri-list entry.
class TWClipboardWriter {
public:
    static std::unique_ptr<QMimeData> mimeDataForPath(const std::string& rawPath);
    static void copyPath(const std::string& rawPath);
};
