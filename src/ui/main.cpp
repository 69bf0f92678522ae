// Saldorama: the window program.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstddef>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "form/tform1.h"
#include "ui/main_window.h"
#include "ui/qt_dialogs.h"
#include "ui/ui_text.h"

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

} // namespace

int main(int argc, char* argv[]) {
    if (!display_usable()) {
        std::fputs("Saldorama: Keine grafische Anzeige gefunden (DISPLAY ist nicht gesetzt oder nicht erreichbar).\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    saldorama::ui::setup_application();

    saldorama::ui::QtDialogs dialogs;
    saldorama::TForm1 form(dialogs);
    saldorama::ui::MainWindow window(form);
    dialogs.setParent(&window);
    window.startUp();
    window.show();
    // The window manager frames the window only once it is shown.
    QTimer::singleShot(0, &window, [&window] { window.fitOuterSize(); });
    QTimer::singleShot(300, &window, [&window] { window.fitOuterSize(); });
    return QApplication::exec();
}
