#pragma once

#include "platform/TWItemLocation.h"
#include "platform/TWStatSnapshot.h"

// Whether this process may read an item. The answer is worked out from the attributes already
// in hand where the mode bits settle it (which saves a system call per file in a walk); links,
// and items the bits say are unreadable (an access list may still grant them), are asked of
// the kernel. Follows a final symbolic link, as reading would.
bool isReadableItem(TWItemLocation item, const TWStatSnapshot* stat);
