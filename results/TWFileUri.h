#pragma once

#include <QByteArray>
#include <string>

// "file://" and the path's bytes percent-encoded (all but unreserved characters and "/"), so
// a name that is not UTF-8 survives the trip through a URI unchanged.
QByteArray fileUriForRawPath(const std::string& rawPath);

// The folder that holds the item at an absolute path: "/" for "/name", the path itself for
// "/".
std::string containingFolderOfRawPath(const std::string& rawPath);
