#pragma once

#include "platform/TWItemLocation.h"

#include <string_view>

// Whether a folder is a package that a user sees as one document: its extension is one of the
// bundle extensions below (compared without regard to ASCII case), or it holds
// Contents/Info.plist.
namespace TWPackageRule {

// app, bundle, framework, plugin, kext, pkg, mpkg, rtfd, photoslibrary, xcodeproj,
// xcworkspace, playground, appex, xpc, qlgenerator, mdimporter, prefPane, saver, wdgt,
// component, vst, vst3, and the document bundles key, pages, numbers, sparsebundle,
// fcpbundle, logicx, band, musiclibrary, aplibrary, dSYM.
bool hasPackageExtension(std::string_view extension);

bool isFilePackage(TWItemLocation folder, std::string_view extension);

} // namespace TWPackageRule
