#include "gui/TfAboutWindow.h"

#include "gui/DialogLook.h"
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

QLabel* line(QWidget* parent, const char* name, const QString& text, const QRect& place,
             const QColor& colour, int pixels, bool bold) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(place);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(designFont(pixels, bold));
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
    return label;
}

} // namespace

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
    setObjectName("TfAboutWindow");
    setWindowTitle("About");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(392, 249);
    setFont(designFont(16, true));

    const QColor black(Qt::black), white(Qt::white);
    line(this, "lProgramName", QString::fromStdString(version.productName()), {0, 2, 392, 18},
         black, 16, true);
    line(this, "lVersion", "Version: " + QString::fromStdString(version.fileVersion()),
         {0, 20, 392, 18}, black, 16, true);

    auto* panel = new QWidget(this);
    panel->setObjectName("pLogo");
    panel->setGeometry(0, 38, 392, 166);
    panel->setAutoFillBackground(true);
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, black);
    panel->setPalette(p);
    auto* logo = new QLabel(panel);
    logo->setObjectName("iLogo");
    logo->setGeometry(5, 2, 382, 132);
    logo->setPixmap(tesselLogo({382, 132}));
    line(panel, "lContact1", "Tessel light bar utility - bench and factory", {0, 134, 392, 15},
         white, 11, false);
    line(panel, "lContact2", "support: tessel.example.org", {0, 149, 392, 15}, white, 11, false);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("bOK");
    ok->setFont(designFont(12));
    ok->setGeometry(86, 208, 100, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* web = new QPushButton("Torva Web Site", this);
    web->setObjectName("bVeltraneWebSite");
    web->setAutoDefault(false);
    web->setFont(designFont(12));
    web->setGeometry(206, 208, 120, 25);
    connect(web, &QPushButton::clicked, this,
            [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kWebSite))); });
    auto* notice = line(this, "lNotice", "Tessel is free software; it comes with no warranty.",
                        {0, 236, 392, 12}, black, 10, false);
    if (settingsPath.empty()) return;
    const auto settings = "Settings: " + QString::fromStdString(settingsPath);
    notice->setText(notice->fontMetrics().elidedText(settings, Qt::ElideMiddle, 384));
    notice->setToolTip(settings);
}

void TfAboutWindow::showAbout(const VersionInfo& version, const std::string& settingsPath,
                              QWidget* parent) {
    TfAboutWindow window(version, settingsPath, parent);
    window.exec();
}

} // namespace tessel
