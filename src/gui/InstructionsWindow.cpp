#include "gui/InstructionsWindow.h"

#include "app/Instructions.h"
#include "app/WindowLayout.h"

#include <QMessageBox>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <stdexcept>

namespace tessel {

namespace {
QString fromView(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

void showInstructions(QWidget* parent) {
    const WindowLayout layout = instructionsBoxLayout();
    // Preformatted: the steps' indentation only reads right when no line is wrapped.
    QMessageBox box(QMessageBox::NoIcon, fromView(layout.caption),
                    "<pre>" + fromView(layout.row("lInstructionsBody").caption).toHtmlEscaped() +
                        "</pre>",
                    QMessageBox::Ok, parent);
    box.setObjectName(fromView(layout.name));
    box.setTextFormat(Qt::RichText);
    box.exec();
}

void printInstructions(QPrinter& printer, const QString& title) {
    printer.setDocName(title);
    printer.setPageOrientation(QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer)) throw std::runtime_error("The printer could not be started");
    QFont font(fromView(kPrintFontFamily), kPrintFontPoints);
    const int resolution = painter.device()->logicalDpiY();
    const QRect page = painter.viewport();
    for (const PrintedText& text : instructionsPage(resolution)) {
        font.setBold(text.heading);
        font.setItalic(text.heading);
        painter.setFont(font);
        // Each text is placed by its top-left corner, not by its baseline.
        const QRect place(text.left, text.top, page.width() - text.left, page.height() - text.top);
        painter.drawText(place, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         fromView(text.text));
    }
    painter.end();
}

void printInstructionsOnDefaultPrinter(const QString& title) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) throw std::runtime_error("There is no default printer currently selected");
    QPrinter printer(info, QPrinter::HighResolution);
    printInstructions(printer, title);
}

} // namespace tessel
