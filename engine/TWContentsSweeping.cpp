#include "engine/TWSearchController.h"

// The contents pass confirms candidate groups by their bytes. Until it reads contents, a
// search that asks for contents is finished on sizes and the other criteria alone.
void TWSearchController::doContentsSweeping() {}

void TWSearchController::appendContentsComponents(std::string&, TWFileSystemPath&,
                                                  std::uint64_t) const {}
