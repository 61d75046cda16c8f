#pragma once

#include "platform/TWFileDescriptor.h"
#include "platform/TWItemLocation.h"

#include <sys/stat.h>

// Opens a regular file for reading without ever opening anything else: the item is first
// taken as a bare reference (O_PATH, which opens no device and waits on no FIFO), examined,
// and only a regular file is opened for reading, through that same reference, so an item
// swapped in between is never opened. No final symbolic link is followed. `extraFlags` may
// add O_NOATIME, which is dropped again where the kernel refuses it. `info`, when given, gets
// the attributes of what was opened. Invalid when the item is missing or is not a regular
// file.
TWFileDescriptor openRegularFileForReading(TWItemLocation item, int extraFlags = 0,
                                           struct stat* info = nullptr);
