// Saldorama: the window program.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "form/tform1.h"
#include "ui/main_window.h"
#include "ui/qt_dialogs.h"
#include "base/version.h"
#include "ui/ui_text.h"
#include "userfolder/folder_choice.h"
#include "userfolder/folder_error.h"

#ifndef SALDORAMA_APP_ID
#define SALDORAMA_APP_ID "saldorama"
#endif

namespace {

bool unix_socket_connects(const std::string& path, bool abstract) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t offset = abstract ? 1 : 0;  // abstract names start with a zero byte
    if (path.size() + offset >= sizeof(address.sun_path)) return false;
    std::memcpy(address.sun_path + offset, path.data(), path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0) return false;
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    ::close(fd);
    return ok;
}

// Qt ends the process when it finds no display at all; say so in words
// instead. Only the plain cases are checked: no display named, or a local X
// display that takes no connection.
bool display_usable() {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return true;
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) return true;
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty()) return false;
    if (!display.startsWith(':') && !display.startsWith("unix:")) return true;  // remote: left to Qt
    const QByteArray number = display.mid(display.indexOf(':') + 1).split('.').value(0);
    const std::string path = "/tmp/.X11-unix/X" + number.toStdString();
    return unix_socket_connects(path, false) || unix_socket_connects(path, true);
}

// The icon is built in (a Qt resource), so it shows also before installing.
// A folder problem is said on standard error and, where someone sees the
// screen, in a box: a start from the menu has no terminal.
int folder_failure(const QString& text) {
    std::fprintf(stderr, "saldorama: %s\n", text.toLocal8Bit().constData());
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        QMessageBox::critical(nullptr, QString::fromLatin1(saldorama::ui::kAppTitle), text);
    return 1;
}

// The start folder of the backup dialogs: where learners keep what they hand in.
QString documents_folder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

} // namespace

int main(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(saldorama::window_usage_text(), stdout);
            return 0;
        }
    }
    if (!display_usable()) {
        std::fputs("Saldorama: Keine grafische Anzeige gefunden (DISPLAY ist nicht gesetzt oder nicht erreichbar).\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    saldorama::ui::setup_application();
    QGuiApplication::setDesktopFileName(QStringLiteral(SALDORAMA_APP_ID));

    saldorama::FolderChoice choice;
    try {
        std::vector<std::string> args;
        for (const QString& arg : QCoreApplication::arguments().mid(1)) args.push_back(arg.toLocal8Bit().toStdString());
        choice = saldorama::parse_folder_options(args);
    } catch (const saldorama::FolderError& e) {
        std::fprintf(stderr, "saldorama: %s\n%s", e.what(), saldorama::window_usage_text());
        return 2;
    }
    try {
        saldorama::enter_folder(choice, saldorama::kVersion);
    } catch (const saldorama::FolderError& e) {
        return folder_failure(QString::fromUtf8(e.what()));
    }

    saldorama::ui::QtDialogs dialogs;
    if (choice.where == saldorama::FolderChoice::Where::User) dialogs.setStartFolder(documents_folder());
    saldorama::TForm1 form(dialogs);
    form.state.suppliedFolder = saldorama::supplied_folder_path(saldorama::executable_path());
    saldorama::ui::MainWindow window(form);
    dialogs.setParent(&window);
    window.startUp();
    window.showPlaced();
    // The window manager frames the window only once it is shown.
    QTimer::singleShot(0, &window, [&window] { window.fitOuterSize(); });
    QTimer::singleShot(300, &window, [&window] { window.fitOuterSize(); });
    return QApplication::exec();
}
