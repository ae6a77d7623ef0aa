#include "gui/TfAboutWindow.h"

#include "gui/LayoutWidgets.h"
#include "gui/WindowLook.h"
#include "support/VersionInfo.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QUrl>

namespace tessel {

QPixmap tesselLogo(const QSize& size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::black);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = size.width(), h = size.height();
    // The swath: green field lines running to a vanishing point.
    p.setPen(QPen(QColor(40, 150, 60), 2));
    for (int i = -6; i <= 6; ++i) p.drawLine(QPointF(w / 2 + i * w / 8, h), QPointF(w / 2, h * 0.45));
    // The light bar: a row of tiles, the centre ones lit.
    const int tiles = 15;
    const double tile = w * 0.8 / tiles;
    for (int i = 0; i < tiles; ++i) {
        const int off = std::abs(i - tiles / 2);
        const QColor colour = off == 0 ? QColor(60, 220, 80) : off <= 2 ? QColor(250, 200, 40)
                                                                        : QColor(70, 70, 90);
        p.setBrush(colour);
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(w * 0.1 + i * tile + 1, h * 0.12, tile - 2, h * 0.2), 2, 2);
    }
    p.setPen(QColor(220, 220, 230));
    QFont font = designFont(static_cast<int>(h * 0.22), true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 4);
    p.setFont(font);
    p.drawText(QRectF(0, h * 0.5, w, h * 0.4), Qt::AlignCenter, "TESSEL");
    return pixmap;
}

TfAboutWindow::TfAboutWindow(const VersionInfo& version, const std::string& settingsPath,
                             QWidget* parent)
    : QDialog(parent) {
    const WindowLayout layout = aboutWindowLayout();
    const LayoutWidgets widgets(layout, this);
    applyWindowLayout(this, layout);
    setFixedSize(layout.clientWidth, layout.clientHeight);
    widgets.get<QLabel>("lProgramName")->setText(QString::fromStdString(version.productName()));
    widgets.get<QLabel>("lVersion")
        ->setText(qText(layout.row("lVersion").caption) +
                  QString::fromStdString(version.fileVersion()));
    const Rect logo = layout.row("iLogo").place;
    widgets.get<QLabel>("iLogo")->setPixmap(tesselLogo({logo.width, logo.height}));
    connect(widgets.get<QPushButton>("bOK"), &QPushButton::clicked, this, &QDialog::accept);
    connect(widgets.get<QPushButton>("bVeltraneWebSite"), &QPushButton::clicked, this,
            [] { QDesktopServices::openUrl(QUrl(qText(kProjectWebSite))); });
    if (settingsPath.empty()) return;
    // The bottom line names the settings file in use instead of the notice.
    auto* notice = widgets.get<QLabel>("lNotice");
    const auto settings = "Settings: " + QString::fromStdString(settingsPath);
    notice->setText(
        notice->fontMetrics().elidedText(settings, Qt::ElideMiddle, notice->width() - 8));
    notice->setToolTip(settings);
}

void TfAboutWindow::showAbout(const VersionInfo& version, const std::string& settingsPath,
                              QWidget* parent) {
    TfAboutWindow window(version, settingsPath, parent);
    window.exec();
}

} // namespace tessel
