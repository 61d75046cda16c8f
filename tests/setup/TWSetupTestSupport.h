#pragma once

#include "engine/TWParamValue.h"
#include "setup/TWSearchLauncher.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <QtGlobal>

#include <string>
#include <vector>

// A dictionary as one line, keys in order, so that a comparison shows the whole difference:
// TWContentsMatch=""; TWSizeFilter=(TWLessThan, 10240).
inline QString describeValue(const TWParamValue& value) {
    if (value.isText())
        return QLatin1Char('"') + QString::fromStdString(value.text()) + QLatin1Char('"');
    if (value.isNumber())
        return QString::number(value.number());
    QStringList elements;
    for (const TWParamValue& element : value.list())
        elements << describeValue(element);
    return QLatin1Char('(') + elements.join(QLatin1String(", ")) + QLatin1Char(')');
}

inline QString describe(const TWSearchParams& params) {
    QStringList entries;
    for (const auto& [key, value] : params)
        entries << QString::fromStdString(key) + QLatin1Char('=') + describeValue(value);
    return entries.join(QLatin1String("; "));
}

// A control of a loaded view by its object name; a missing one is a broken view description.
template <typename Control> Control* control(QWidget* view, const char* name) {
    auto* found = view->findChild<Control*>(QLatin1String(name));
    if (!found)
        qFatal("the view has no control '%s' of the expected class", name);
    return found;
}

// Writes down every search the views start instead of opening a window.
class TWRecordingLauncher final : public TWSearchLauncher {
public:
    struct Launch {
        std::vector<std::string> startPaths;
        TWSearchParams params;
    };
    void launchSearch(const std::vector<std::string>& startPaths,
                      const TWSearchParams& params) override {
        launches.push_back({startPaths, params});
    }
    std::vector<Launch> launches;
};
