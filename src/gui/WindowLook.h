#pragma once

#include "app/WindowLayout.h"

#include <QFont>
#include <QRect>
#include <QString>

class QWidget;

namespace tessel {

// The design's "MS Sans Serif" at 11 pixels: the platform's default UI font at that size.
QFont designFont(int pixelSize = 11, bool bold = false);
// The design's "Courier New": the platform's fixed-pitch font.
QFont paneFont(int pixelSize = 12);
QRect toQRect(const Rect& r);
// Gives a control its design font, a pixel smaller at a time (down to 8) until its caption fits
// its width less the padding: the platform's fonts run wider than the design's.
void fitCaption(QWidget* control, const QString& caption, int pixelSize, bool bold, int padding);

} // namespace tessel
