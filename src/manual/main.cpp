// saldorama-manual: builds the user guide "Anleitung.pdf" from its Markdown
// source. The pictures are screenshots of the real window, taken offscreen
// from a practice company whose books hold the solution of an exercise, so
// they always show the pages as the program draws them today.
//
//   saldorama-manual SOURCE.md DATA_DIR OUTPUT.pdf [PICTURE_DIR]
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
#include <QPdfWriter>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QUrl>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "form/solution_books.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"
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
// on one page with the caption in its paragraph; every chapter (level 1
// heading) but the first on a new page.
void fit_to_page(QTextDocument& doc, const std::map<QString, QImage>& pictures) {
    QTextCursor cursor(&doc);
    bool first = true;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 1) {
            if (!first) {
                QTextBlockFormat format = block.blockFormat();
                format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                cursor.setPosition(block.position());
                cursor.setBlockFormat(format);
            }
            first = false;
        }
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

} // namespace

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
    {
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
    // Every picture the text names must exist, and every one taken be shown.
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) {
                const QString name = it.fragment().charFormat().toImageFormat().name();
                if (!pictures.contains(name)) return fail(QStringLiteral("Unbekanntes Bild %1.").arg(name));
            }
    fit_to_page(doc, pictures);

    // Written aside and renamed into place, so a failed run leaves no half file.
    const QString part = target + QStringLiteral(".part");
    {
        QPdfWriter writer(part);
        writer.setTitle(QStringLiteral("Saldorama – Anleitung"));
        writer.setCreator(QStringLiteral("Saldorama"));
        writer.setResolution(300);
        // No margins of the writer's own: printing puts 2 cm around the text
        // and the page number into the bottom one.
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                         QPageLayout::Millimeter));
        doc.print(&writer);
    }
    QFile::remove(target);
    if (!QFile::rename(part, target)) return fail(QStringLiteral("%1 lässt sich nicht schreiben.").arg(target));
    return 0;
}
