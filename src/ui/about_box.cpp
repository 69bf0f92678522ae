#include "ui/about_box.h"

#include <QMessageBox>
#include <QString>

#include "ui/qt_dialogs.h"

#ifndef SALDORAMA_VERSION
#error "SALDORAMA_VERSION comes from the build (project version)"
#endif

namespace saldorama::ui {

const char* about_text() {
    return "Saldorama " SALDORAMA_VERSION "\n\n"
           "Software zum Lernen und Üben der Buchführung.\n\n"
           "© Saldorama-Entwickler\n"
           "Lizenz: GNU General Public License, Version 3 oder neuer (GPL-3.0-or-later).\n"
           "Dieses Programm ist freie Software und wird ohne jede Gewährleistung weitergegeben.";
}

void show_about_box(QWidget* parent) {
    const QString text = QString::fromUtf8(about_text());
    if (QtDialogs::hooked()) {
        QtDialogs::callHook({BoxCall::Kind::Notice, QString::fromUtf8("Über Saldorama"), text, QMessageBox::Information,
                             {}, {}, {}});
        return;
    }
    QMessageBox box(QMessageBox::Information, QString::fromUtf8("Über Saldorama"), text, QMessageBox::Ok, parent);
    box.setIconPixmap(parent ? parent->windowIcon().pixmap(64, 64) : QPixmap());
    box.exec();
}

} // namespace saldorama::ui
