// saldorama-manual: builds the user guide "Anleitung.pdf" from its Markdown
// source. The pictures are screenshots of the real window, taken offscreen
// from a practice company whose books hold the solution of an exercise, so
// they always show the pages as the program draws them today.
//
//   saldorama-manual SOURCE.md DATA_DIR OUTPUT.pdf [PICTURE_DIR]
//   saldorama-manual SOURCE.md DATA_DIR OUTPUT.html
//
// The HTML is the guide for the browser page: the text alone, without the
// window's pictures (they show another front end and would make the page
// heavy).
//
// DATA_DIR holds the supplied files (charts, exercises, solutions); they are
// copied into a temporary working folder. PICTURE_DIR, when given, receives
// the screenshots as PNG files as well.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "form/solution_books.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"
#include "manual/pdf_outline.h"
#include "ui/main_window.h"
#include "ui/ui_text.h"

namespace {

using saldorama::Page;
using saldorama::ScriptedDialogs;
using saldorama::TForm1;

// The exercise whose solved books the screenshots show: it builds on
// exercises 2 to 4 and 6, so every report has content and a neutral result.
constexpr int kShownExercise = 7;
// Width of a screenshot on the page, in the document's pixels (1/96 inch):
// about 15.9 cm, inside the 17 cm between the margins.
constexpr double kPictureWidth = 600.0;

int fail(const QString& text) {
    std::fprintf(stderr, "saldorama-manual: %s\n", text.toLocal8Bit().constData());
    return 1;
}

// One screenshot: its name in the Markdown source ("bild:NAME.png") and the
// steps that bring the window there.
struct Shot {
    const char* name;
    std::function<void(TForm1&)> steps;
};

std::vector<Shot> shots() {
    return {
        {"start", [](TForm1&) {}},
        {"grundeinstellungen", [](TForm1& f) { f.SpeedButton35Click(); }},
        {"eroeffnung", [](TForm1& f) { f.SpeedButton2Click(); }},
        {"buchungen",
         [](TForm1& f) {
             f.SpeedButton3Click();
             f.booking.SpeedButton27Click();  // ">|": the last booking
         }},
        {"bilanz", [](TForm1& f) { f.SpeedButton4Click(); }},
        {"betriebsergebnis", [](TForm1& f) { f.SpeedButton1Click(); }},
        {"journal", [](TForm1& f) { f.SpeedButton5Click(); }},
        {"kontenblaetter",
         [](TForm1& f) {
             f.SpeedButton6Click();
             auto& list = f.accountSheet.ListBox1;
             for (std::size_t i = 0; i < f.accountSheet.accountNames.size(); ++i)
                 if (f.accountSheet.accountNames[i] == "Bank") list.itemIndex = static_cast<int>(i);
             f.accountSheet.ListBox1Click();
         }},
        {"aufgaben",
         [](TForm1& f) {
             f.SpeedButton22Click();
             f.exercises.ExerciseButtonClick(kShownExercise);
             f.exercises.CheckButtonClick();
             f.exercises.CheckRows.itemIndex = 0;
             f.exercises.CheckRowsClick();
         }},
        {"kontenplan", [](TForm1& f) { f.SpeedButton37Click(); }},
        // Last: the access word stands in the company field meanwhile; the
        // settings page does not show that field, and the title never shows it.
        {"einstellungen",
         [](TForm1& f) {
             const std::string name = f.company.Edit1.text;
             f.company.Edit1.text = "Mentor";
             f.SpeedButton24Click();
             f.company.Edit1.text = name;
         }},
    };
}

bool copy_folder(const QString& from, const QString& to) {
    const QDir source(from);
    for (const QFileInfo& info : source.entryInfoList(QDir::Files)) {
        if (!QFile::copy(info.filePath(), to + QLatin1Char('/') + info.fileName())) return false;
    }
    return true;
}

// Every picture as wide as kPictureWidth, its height in proportion, and kept
// on one page with the caption in its paragraph. Chapters follow on from one
// another: a page break before each left pages half empty.
void fit_to_page(QTextDocument& doc, const std::map<QString, QImage>& pictures) {
    QTextCursor cursor(&doc);
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat()) continue;
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            const auto found = pictures.find(image.name());
            if (found == pictures.end()) continue;
            const QImage& picture = found->second;
            QTextBlockFormat together = block.blockFormat();
            together.setNonBreakableLines(true);
            cursor.setPosition(block.position());
            cursor.setBlockFormat(together);
            image.setWidth(kPictureWidth);
            image.setHeight(kPictureWidth * picture.height() / picture.width());
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(image);
        }
    }
}

// The chapters: every level 1 heading but the guide's title.
QStringList chapter_titles(const QTextDocument& doc) {
    QStringList titles;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        if (block.blockFormat().headingLevel() == 1) titles << block.text().trimmed();
    if (!titles.isEmpty()) titles.removeFirst();
    return titles;
}

// The table of contents under the source's paragraph "Inhalt" (else under
// the title): one row a chapter, its page at the right.
QTextTable* insert_contents(QTextDocument& doc, const QStringList& titles) {
    QTextBlock at = doc.begin();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        if (block.text().trimmed() == QStringLiteral("Inhalt")) at = block;
    QTextCursor cursor(at);
    cursor.movePosition(QTextCursor::EndOfBlock);
    // In the document's own font, not the heading's.
    const QTextCharFormat plain;
    if (at == doc.begin()) {
        cursor.insertBlock(QTextBlockFormat(), plain);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        cursor.insertText(QStringLiteral("Inhalt"), bold);
    }
    QTextTableFormat format;
    format.setBorderStyle(QTextFrameFormat::BorderStyle_None);
    format.setCellPadding(1);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    format.setColumnWidthConstraints({QTextLength(QTextLength::PercentageLength, 90),
                                      QTextLength(QTextLength::PercentageLength, 10)});
    QTextTable* table = cursor.insertTable(static_cast<int>(titles.size()), 2, format);
    for (int row = 0; row < titles.size(); ++row)
        table->cellAt(row, 0).firstCursorPosition().insertText(titles[row], plain);
    return table;
}

// Letters and digits alone: text read back from a PDF may differ in its
// quotation marks and spaces.
QString letters(const QString& text) {
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_C))
        if (c.isLetterOrNumber()) out += c;
    return out;
}

// The page each chapter starts on (from 0): the last page whose text holds
// its title (the table of contents comes before); -1 where none does.
std::vector<int> chapter_pages(const QString& pdfPath, const QStringList& titles) {
    QPdfDocument pdf;
    std::vector<int> pages(static_cast<std::size_t>(titles.size()), -1);
    if (pdf.load(pdfPath) != QPdfDocument::Error::None) return pages;
    for (int page = 0; page < pdf.pageCount(); ++page) {
        const QString text = letters(pdf.getAllText(page).text());
        for (int i = 0; i < titles.size(); ++i)
            if (text.contains(letters(titles[i]))) pages[static_cast<std::size_t>(i)] = page;
    }
    return pages;
}

// Room left above a heading where a viewer puts it at the top, in points.
constexpr double kAboveHeading = 6.0;

// Where each chapter's heading stands on its page, as a PDF outline names it
// (points up from the page's foot, a little above the letters): its last
// mention on the page, as the contents may name it first; -1 where none is.
std::vector<double> heading_tops(const QString& pdfPath, const QStringList& titles, const std::vector<int>& pages) {
    QPdfDocument pdf;
    std::vector<double> tops(static_cast<std::size_t>(titles.size()), -1.0);
    if (pdf.load(pdfPath) != QPdfDocument::Error::None) return tops;
    for (int i = 0; i < titles.size(); ++i) {
        const int page = pages[static_cast<std::size_t>(i)];
        const qsizetype at = pdf.getAllText(page).text().lastIndexOf(titles[i]);
        if (at < 0) continue;
        const QRectF box =
            pdf.getSelectionAtIndex(page, static_cast<int>(at), static_cast<int>(titles[i].size())).boundingRectangle();
        const double height = pdf.pagePointSize(page).height();
        if (!box.isEmpty()) tops[static_cast<std::size_t>(i)] = std::min(height, height - box.top() + kAboveHeading);
    }
    return tops;
}

bool print_pdf(QTextDocument& doc, const QString& path) {
    QPdfWriter writer(path);
    writer.setTitle(QStringLiteral("Saldorama – Anleitung"));
    writer.setCreator(QStringLiteral("Saldorama"));
    writer.setResolution(300);
    // No margins of the writer's own: printing puts 2 cm around the text
    // and the page number into the bottom one.
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                     QPageLayout::Millimeter));
    doc.print(&writer);
    return true;
}

} // namespace

// The guide as one HTML text without its pictures, written aside and renamed.
int write_html(QTextDocument& doc, const QString& target) {
    std::vector<std::pair<int, int>> images;  // position, length
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                images.emplace_back(it.fragment().position(), it.fragment().length());
    // From the end, so the positions before stay where they are.
    for (auto image = images.rbegin(); image != images.rend(); ++image) {
        QTextCursor cursor(&doc);
        cursor.setPosition(image->first);
        cursor.setPosition(image->first + image->second, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    const QString part = target + QStringLiteral(".part");
    QFile file(part);
    const QByteArray bytes = doc.toHtml().toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return fail(QStringLiteral("%1 lässt sich nicht schreiben.").arg(part));
    file.close();
    QFile::remove(target);
    if (!QFile::rename(part, target)) return fail(QStringLiteral("%1 lässt sich nicht schreiben.").arg(target));
    return 0;
}

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    saldorama::ui::setup_application();
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4 || args.size() > 5)
        return fail(QStringLiteral("Aufruf: saldorama-manual QUELLE.md DATENORDNER ZIEL.pdf [BILDORDNER]"));
    const QString sourcePath = QFileInfo(args[1]).absoluteFilePath();
    const QString dataDir = QFileInfo(args[2]).absoluteFilePath();
    const QString target = QFileInfo(args[3]).absoluteFilePath();
    const QString pictureDir = args.size() == 5 ? QFileInfo(args[4]).absoluteFilePath() : QString();

    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly)) return fail(QStringLiteral("%1 lässt sich nicht lesen.").arg(sourcePath));
    const QString markdown = QString::fromUtf8(source.readAll());

    // The practice company, in a folder of its own.
    QTemporaryDir work;
    if (!work.isValid() || !copy_folder(dataDir, work.path()))
        return fail(QStringLiteral("Der Übungsordner lässt sich nicht anlegen."));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(work.path());

    std::map<QString, QImage> pictures;
    const bool html = target.endsWith(QStringLiteral(".html"));
    if (!html) {
        ScriptedDialogs dialogs;  // every question answered Yes
        TForm1 form(dialogs);
        saldorama::ui::MainWindow window(form);
        window.startUp();
        window.show();
        const auto step = [&](const std::function<void()>& handler) {
            window.run(handler);
            QApplication::processEvents();
            return dialogs.texts(ScriptedDialogs::Kind::Failure).empty();
        };
        // The start page first: the steps below leave it.
        std::vector<Shot> list = shots();
        pictures[QStringLiteral("bild:start.png")] = window.grab().toImage();
        // The learner's own name, saved as "OK" on "Grundeinstellungen" does;
        // the solution leaves this field to the learner.
        form.company.Edit7.text = "Lena Muster";
        if (!step([&] {
                form.company.SpeedButton32Click();
                saldorama::loesung_buchen(form, kShownExercise);
                form.state.status.clear();
            }))
            return fail(QString::fromStdString(dialogs.last(ScriptedDialogs::Kind::Failure)));
        for (const Shot& shot : list) {
            if (std::string(shot.name) == "start") continue;
            if (!step([&] { shot.steps(form); }))
                return fail(QStringLiteral("%1: %2").arg(QString::fromLatin1(shot.name),
                                                         saldorama::ui::qs(dialogs.last(ScriptedDialogs::Kind::Failure))));
            // Lists scroll to their current item on the next turn of the event loop.
            QApplication::processEvents();
            pictures[QStringLiteral("bild:%1.png").arg(QString::fromLatin1(shot.name))] = window.grab().toImage();
        }
    }
    QDir::setCurrent(previous);

    if (!pictureDir.isEmpty()) {
        QDir().mkpath(pictureDir);
        for (const auto& [name, image] : pictures)
            image.save(pictureDir + QLatin1Char('/') + name.mid(5));
    }

    QTextDocument doc;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(10.5);
    doc.setDefaultFont(font);
    // From a provider rather than addResource: printing lays out a copy of
    // the document, which keeps no added resources.
    QTextDocument::setDefaultResourceProvider([&pictures](const QUrl& url) -> QVariant {
        const auto found = pictures.find(url.toString());
        return found == pictures.end() ? QVariant() : QVariant(found->second);
    });
    doc.setMarkdown(markdown);
    if (html) return write_html(doc, target);
    // Every picture the text names must exist, and every one taken be shown.
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) {
                const QString name = it.fragment().charFormat().toImageFormat().name();
                if (!pictures.contains(name)) return fail(QStringLiteral("Unbekanntes Bild %1.").arg(name));
            }
    fit_to_page(doc, pictures);

    // Written aside and renamed into place, so a failed run leaves no half file.
    // The contents' page numbers are those of the pages as printed: printed
    // again until they hold still.
    const QString part = target + QStringLiteral(".part");
    const QStringList titles = chapter_titles(doc);
    QTextTable* contents = insert_contents(doc, titles);
    std::vector<int> pages;
    for (int pass = 0;; ++pass) {
        print_pdf(doc, part);
        const std::vector<int> found = chapter_pages(part, titles);
        for (std::size_t i = 0; i < found.size(); ++i)
            if (found[i] < 0) return fail(QStringLiteral("Kapitel „%1“ steht auf keiner Seite.").arg(titles[static_cast<int>(i)]));
        if (found == pages) break;
        if (pass == 3) return fail(QStringLiteral("Die Seitenzahlen des Inhalts kommen nicht zur Ruhe."));
        pages = found;
        for (int row = 0; row < titles.size(); ++row) {
            QTextCursor cell = contents->cellAt(row, 1).firstCursorPosition();
            cell.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            QTextBlockFormat right = cell.blockFormat();
            right.setAlignment(Qt::AlignRight);
            cell.setBlockFormat(right);
            cell.insertText(QString::number(pages[static_cast<std::size_t>(row)] + 1), QTextCharFormat());
        }
    }
    // The outline a viewer lists beside the pages (the program's own viewer too).
    {
        QFile file(part);
        if (!file.open(QIODevice::ReadOnly)) return fail(QStringLiteral("%1 lässt sich nicht lesen.").arg(part));
        QByteArray bytes = file.readAll();
        file.close();
        std::vector<saldorama::manual::OutlineEntry> outline;
        const std::vector<double> tops = heading_tops(part, titles, pages);
        for (int i = 0; i < titles.size(); ++i)
            outline.push_back({titles[i], pages[static_cast<std::size_t>(i)], tops[static_cast<std::size_t>(i)]});
        if (!saldorama::manual::add_outline(bytes, outline))
            return fail(QStringLiteral("Das Inhaltsverzeichnis lässt sich nicht in %1 eintragen.").arg(part));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            return fail(QStringLiteral("%1 lässt sich nicht schreiben.").arg(part));
    }
    QFile::remove(target);
    if (!QFile::rename(part, target)) return fail(QStringLiteral("%1 lässt sich nicht schreiben.").arg(target));
    return 0;
}
