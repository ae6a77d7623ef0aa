#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QWidget;

namespace tessel {

struct Rect;

// The design's "MS Sans Serif" at 11 pixels: the platform's default UI font at that size.
QFont designFont(int pixelSize = 11, bool bold = false);
// The design's "Courier New": the platform's fixed-pitch font.
QFont paneFont(int pixelSize = 12);
QRect toQRect(const Rect& r);
// The room a caption needs in a push button besides its text (the style's bevel and padding).
inline constexpr int kButtonPadding = 8;
// Gives a control its design font, a pixel smaller at a time (down to 8) until its caption fits
// its width less the padding: the platform's fonts run wider than the design's.
void fitCaption(QWidget* control, const QString& caption, int pixelSize, bool bold, int padding);

} // namespace tessel
