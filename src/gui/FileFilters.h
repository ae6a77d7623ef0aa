#pragma once

#include "app/WindowLayout.h"

#include <QStringList>

#include <span>

namespace tessel {

// A file dialog's filters as Qt takes them. Qt's patterns are case-sensitive here: an extension
// pattern also matches in capitals (firmware files come from DOS-era tools so named).
QStringList nameFilters(std::span<const FileFilter> filters);

} // namespace tessel
