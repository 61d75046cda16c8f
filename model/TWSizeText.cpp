#include "model/TWSizeText.h"

#include <cstdio>

std::string stringForFileSize(std::uint64_t byteCount) {
    constexpr double kStep = 0.0009765625; // 1/1024, exact in binary
    double value = static_cast<double>(byteCount);
    char text[64];
    if (value == 1.0)
        std::snprintf(text, sizeof text, "%d byte", 1);
    else if (value < 1024.0)
        std::snprintf(text, sizeof text, "%d bytes", static_cast<int>(value));
    else if ((value *= kStep) < 1024.0)
        std::snprintf(text, sizeof text, "%.2fkb", value);
    else if ((value *= kStep) < 1024.0)
        std::snprintf(text, sizeof text, "%.2fmb", value);
    else
        std::snprintf(text, sizeof text, "%.2fgb", value * kStep);
    return text;
}
