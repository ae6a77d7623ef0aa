#include "gui/WindowLook.h"

#include "app/WindowLayout.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QWidget>

namespace tessel {

QFont designFont(int pixelSize, bool bold) {
    QFont font = QApplication::font();
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont paneFont(int pixelSize) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(pixelSize);
    return font;
}

void fitCaption(QWidget* control, const QString& caption, int pixelSize, bool bold, int padding) {
    QFont font = designFont(pixelSize, bold);
    while (font.pixelSize() > kSmallestCaptionPixels &&
           QFontMetrics(font).horizontalAdvance(caption) + padding > control->width())
        font.setPixelSize(font.pixelSize() - 1);
    control->setFont(font);
}

QRect toQRect(const Rect& r) { return {r.left, r.top, r.width, r.height}; }

} // namespace tessel
