#include "gui/TfAboutWindow.h"

#include "app/Logo.h"
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

namespace {
QColor qColour(const Rgb& rgb) { return {rgb.red, rgb.green, rgb.blue}; }
} // namespace

QPixmap tesselLogo(const QSize& size) {
    const Logo logo = tesselLogo(size.width(), size.height());
    QPixmap pixmap(size);
    pixmap.fill(qColour(logo.background));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(qColour(logo.lineColour), logo.lineWidth));
    for (const Logo::Line& l : logo.lines) p.drawLine(QPointF(l.x1, l.y1), QPointF(l.x2, l.y2));
    p.setPen(Qt::NoPen);
    for (const Logo::Tile& t : logo.tiles) {
        p.setBrush(qColour(t.colour));
        p.drawRoundedRect(QRectF(t.left, t.top, t.width, t.height), logo.tileRadius,
                          logo.tileRadius);
    }
    p.setPen(qColour(logo.nameColour));
    QFont font = designFont(logo.namePixels, true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, logo.nameSpacing);
    p.setFont(font);
    p.drawText(QRectF(0, logo.nameTop, size.width(), logo.nameHeight), Qt::AlignCenter,
               qText(logo.name));
    return pixmap;
}

TfAboutWindow::TfAboutWindow(const VersionInfo& version, const std::string& settingsPath,
                             const std::string& webAddress, QWidget* parent)
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
    auto* webSite = widgets.get<QPushButton>("bVeltraneWebSite");
    webSite->setEnabled(!webAddress.empty());
    // An address or a file's path (the README beside the program).
    const QUrl address = QUrl::fromUserInput(QString::fromStdString(webAddress));
    connect(webSite, &QPushButton::clicked, this,
            [address] { QDesktopServices::openUrl(address); });
    if (settingsPath.empty()) return;
    // The bottom line names the settings file in use instead of the notice.
    auto* notice = widgets.get<QLabel>("lNotice");
    const auto settings = QString::fromStdString(settingsLine(settingsPath));
    notice->setText(
        notice->fontMetrics().elidedText(settings, Qt::ElideMiddle, notice->width() - 8));
    notice->setToolTip(settings);
}

void TfAboutWindow::showAbout(const VersionInfo& version, const std::string& settingsPath,
                              const std::string& webAddress, QWidget* parent) {
    TfAboutWindow window(version, settingsPath, webAddress, parent);
    window.exec();
}

} // namespace tessel
