#pragma once

#include "engine/TWStatusText.h"

#include <QString>

// A status line of the engine in the user's language: the English format is looked up in
// the context "TWStatusText" and the translation is filled with the line's arguments.
QString translatedStatusText(const TWStatusText& status);
