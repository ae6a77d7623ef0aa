#include "gui/FileFilters.h"

#include "gui/LayoutWidgets.h"

namespace tessel {

QStringList nameFilters(std::span<const FileFilter> filters) {
    QStringList list;
    for (const FileFilter& filter : filters) {
        const QString pattern = qText(filter.pattern);
        const QString patterns = pattern == "*.*"           ? "*"
                                 : pattern.startsWith("*.") ? pattern + " " + pattern.toUpper()
                                                            : pattern;
        list << qText(filter.name) + " (" + patterns + ")";
    }
    return list;
}

} // namespace tessel
