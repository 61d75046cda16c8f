#include "results/TWFileUri.h"

QByteArray fileUriForRawPath(const std::string& rawPath) {
    QByteArray bytes(rawPath.data(), static_cast<qsizetype>(rawPath.size()));
    return QByteArrayLiteral("file://") + bytes.toPercentEncoding("/");
}

std::string containingFolderOfRawPath(const std::string& rawPath) {
    std::size_t slash = rawPath.rfind('/');
    if (slash == std::string::npos)
        return rawPath;
    return slash == 0 ? std::string("/") : rawPath.substr(0, slash);
}
