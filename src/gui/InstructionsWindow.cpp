#include "gui/InstructionsWindow.h"

#include "app/Instructions.h"
#include "app/WindowLayout.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <stdexcept>

namespace tessel {

namespace {

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The PDF file to write, or none when the operator cancelled the dialog.
QString choosePdfFile(QWidget* parent) {
    QFileDialog dialog(parent, "Save As PDF", QDir::home().filePath(fromView(kPdfFileName)));
    dialog.setObjectName("sdSavePdf");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter("PDF files (*.pdf)");
    dialog.setDefaultSuffix("pdf");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

void errorBox(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, "Tessel", text, QMessageBox::Ok, parent);
    box.setObjectName("errorBox");
    box.exec();
}

} // namespace

void showInstructions(QWidget* parent, const std::string& programName) {
    const WindowLayout layout = instructionsBoxLayout(programName);
    // Preformatted: the steps' indentation only reads right when no line is wrapped.
    QMessageBox box(QMessageBox::NoIcon, fromView(layout.caption),
                    "<pre>" + fromView(layout.row("lInstructionsBody").caption).toHtmlEscaped() +
                        "</pre>",
                    QMessageBox::Ok, parent);
    box.setObjectName(fromView(layout.name));
    box.setTextFormat(Qt::RichText);
    box.exec();
}

void printInstructions(QPrinter& printer, const QString& title, const std::string& body) {
    printer.setDocName(title);
    printer.setPageOrientation(QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer)) throw std::runtime_error("The printer could not be started");
    QFont font(fromView(kPrintFontFamily), kPrintFontPoints);
    const int resolution = painter.device()->logicalDpiY();
    const QRect page = painter.viewport();
    for (const PrintedText& text : instructionsPage(resolution, body)) {
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

bool saveInstructionsAsPdf(const QString& path, const QString& title, const std::string& body) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    try {
        printInstructions(printer, title, body);
    } catch (const std::runtime_error&) {
        return false;
    }
    return true;
}

void printInstructionsFromMenu(QWidget* parent, const QString& title, const std::string& body) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull()) {
        QPrinter printer(info, QPrinter::HighResolution);
        QPrintDialog dialog(&printer, parent);
        dialog.setObjectName("pdPrintInstructions");
        if (dialog.exec() == QDialog::Accepted) printInstructions(printer, title, body);
        return;
    }
    errorBox(parent, "There is no default printer currently selected");
    QMessageBox offer(QMessageBox::Question, "Tessel", fromView(kPdfOffer),
                      QMessageBox::Yes | QMessageBox::No, parent);
    offer.setObjectName("pdfOfferBox");
    offer.setDefaultButton(QMessageBox::Yes);
    if (offer.exec() != QMessageBox::Yes) return;
    const QString path = choosePdfFile(parent);
    if (path.isEmpty()) return;
    if (!saveInstructionsAsPdf(path, title, body)) errorBox(parent, "Cannot write " + path);
}

} // namespace tessel
