#pragma once
// A started main window in a temporary working directory, with every box
// answered by the test instead of popping up.
#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QToolButton>
#include <deque>
#include <memory>
#include <vector>

#include "base/cp1252.h"
#include "form/tform1.h"
#include "ui/binding.h"
#include "ui/main_window.h"
#include "ui/memo_view.h"
#include "ui/qt_dialogs.h"
#include "ui/ui_text.h"

namespace saldorama::ui::test {

inline const char* const kDataFiles[] = {
    "einstellungen.txt", "Kontenplan1.txt", "Kontenplan2.txt", "Kontenplan3.txt", "Kontenplan4.txt",
    "Aufgabe1.txt", "Aufgabe2.txt", "Aufgabe3.txt", "Aufgabe4.txt", "Aufgabe5.txt", "Aufgabe6.txt",
    "Aufgabe7.txt", "Aufgabe8.txt", "Wichtiger Hinweis.rtf", "startbild.png"};

class Ui {
public:
    Ui() {
        // What the window keeps between starts goes to a folder of this test
        // process, never the user's nor that of a test running beside it.
        static QTemporaryDir kept;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, kept.path());
        previous_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        for (const char* name : kDataFiles) {
            const QString source = QStringLiteral(SALDORAMA_DATA_DIR "/") + QString::fromLatin1(name);
            if (QFile::exists(source)) QFile::copy(source, file(name));
        }
        // The supplied data may still be missing pieces; the tests need little.
        if (!QFile::exists(file("Kontenplan1.txt")))
            writeLines("Kontenplan1.txt", {"Kasse<B> A  B", "Bank<B> A  B", "Eigenkapital<B> P  B",
                                           cp("Eröffnungsbilanzkonto<B> P  B"), "Mieten<G> S  B"});
        for (int n = 1; n <= 8; ++n) {
            const std::string name = "Aufgabe" + std::to_string(n) + ".txt";
            if (!QFile::exists(file(name.c_str())))
                writeLines(name, {"Aufgabe " + std::to_string(n), "Erster Schritt", "Zweiter Schritt"});
        }
        if (!QFile::exists(file("Wichtiger Hinweis.rtf")))
            write("Wichtiger Hinweis.rtf", "{\\rtf1\\ansi{\\b Wichtiger Hinweis}\\par Text\\par}");
        writeSettings(0);
        QtDialogs::setHook([this](const BoxCall& call) {
            boxes.push_back(call);
            BoxAnswer answer;
            if (!answers.empty()) {
                answer.yes = answers.front();
                answers.pop_front();
            }
            const bool fileDialog = call.kind == BoxCall::Kind::SaveFile || call.kind == BoxCall::Kind::OpenFile;
            if (fileDialog && !fileAnswers.empty()) {
                answer.file = fileAnswers.front();
                fileAnswers.pop_front();
            }
            return answer;
        });
    }

    ~Ui() {
        window.reset();
        form.reset();
        QtDialogs::setHook({});
        QDir::setCurrent(previous_);
    }

    Ui(const Ui&) = delete;
    Ui& operator=(const Ui&) = delete;

    [[nodiscard]] QString file(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    void write(const std::string& name, const std::string& bytes) const {
        QFile f(file(name.c_str()));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", name.c_str());
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    void writeLines(const std::string& name, const std::vector<std::string>& lines) const {
        std::string bytes;
        for (const auto& line : lines) bytes += line + "\r\n";
        write(name, bytes);
    }
    [[nodiscard]] std::string read(const char* name) const {
        QFile f(file(name));
        if (!f.open(QIODevice::ReadOnly)) return {};
        return f.readAll().toStdString();
    }
    // Settings with the given chart index (-1 = none chosen).
    void writeSettings(int chartIndex) const {
        writeLines("einstellungen.txt", {"Muster GmbH", cp("Hauptstraße 1"), "12345 Musterstadt", "4711", "10000000",
                                         "Musterbank", "Anna Buch", "Bert Chef", "true", "19", "false", "false",
                                         "2026", "Einfach", "Umfangreicher", "Handel", "Industrie",
                                         std::to_string(chartIndex)});
    }

    // Creates the window as the program does and makes it the active window.
    void start() {
        dialogs = std::make_unique<QtDialogs>();
        form = std::make_unique<TForm1>(*dialogs);
        window = std::make_unique<MainWindow>(*form);
        // Our own item models, of the grids and the report memos, are checked
        // for consistency on each change they announce, for as long as they live.
        int tested = 0;
        for (QAbstractItemView* view : window->findChildren<QAbstractItemView*>()) {
            QAbstractItemModel* model = view->model();
            if (!dynamic_cast<GridModel*>(model) && !dynamic_cast<MemoModel*>(model)) continue;
            new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::QtTest, model);
            ++tested;
        }
        if (tested < 6) qFatal("only %d grid and memo models found to check", tested);
        dialogs->setParent(window.get());
        window->startUp();
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get())) qWarning("window not active");
    }

    template <class T>
    [[nodiscard]] T* widget(const char* name) const {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        if (!w) qFatal("no widget %s", name);
        return w;
    }
    void click(const char* name) const {
        QTest::mouseClick(widget<QToolButton>(name), Qt::LeftButton);
        QApplication::processEvents();
    }
    [[nodiscard]] QString shownPage() const {
        return window->shownPageView()->objectName();
    }
    [[nodiscard]] std::vector<BoxCall> boxesOf(BoxCall::Kind kind) const {
        std::vector<BoxCall> out;
        for (const auto& b : boxes)
            if (b.kind == kind) out.push_back(b);
        return out;
    }

    // Real boxes from here on: each next box that pops up gets one key of
    // `keys` pressed, as a user would; what it offered is kept in `seen`.
    struct SeenBox {
        QString text;
        QStringList buttons;
        QString defaultButton;
    };
    void pressKeysOnRealBoxes(std::deque<Qt::Key> keys) {
        QtDialogs::setHook({});
        keys_ = std::move(keys);
        auto* timer = new QTimer(window.get());
        timer->setInterval(20);
        QObject::connect(timer, &QTimer::timeout, timer, [this, timer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || keys_.empty() || !box->isVisible()) return;
            SeenBox b{box->text(), {}, box->defaultButton() ? box->defaultButton()->text() : QString()};
            for (QAbstractButton* button : box->buttons()) b.buttons << button->text();
            seen.push_back(b);
            const Qt::Key key = keys_.front();
            keys_.pop_front();
            QTest::keyClick(box, key);
            if (keys_.empty()) timer->stop();
        });
        timer->start();
    }
    std::vector<SeenBox> seen;

    std::vector<BoxCall> boxes;
    std::deque<bool> answers;
    std::deque<QString> fileAnswers;  // file dialogs take these in turn; none left: cancelled
    std::unique_ptr<QtDialogs> dialogs;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<MainWindow> window;

private:
    QTemporaryDir dir_;
    QString previous_;
    std::deque<Qt::Key> keys_;
};

} // namespace saldorama::ui::test
