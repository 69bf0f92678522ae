#include "ui/about_box.h"

#include <QMessageBox>
#include <QString>

#include "base/version.h"
#include "ui/qt_dialogs.h"


namespace saldorama::ui {

std::string about_text() {
    return std::string("Saldorama ") + kVersion + "\n\n"
           "Software zum Lernen und Üben der Buchführung.\n\n"
           "© Saldorama-Entwickler\n"
           "Lizenz: GNU General Public License, Version 3 oder neuer (GPL-3.0-or-later).\n"
           "Dieses Programm ist freie Software und wird ohne jede Gewährleistung weitergegeben.";
}

void show_about_box(QWidget* parent) {
    const QString text = QString::fromStdString(about_text());
    if (QtDialogs::hooked()) {
        QtDialogs::callHook({BoxCall::Kind::Notice, QString::fromUtf8("Über Saldorama"), text, QMessageBox::Information,
                             {}, {}, {}, {}});
        return;
    }
    QMessageBox box(QMessageBox::Information, QString::fromUtf8("Über Saldorama"), text, QMessageBox::Ok, parent);
    box.setIconPixmap(parent ? parent->windowIcon().pixmap(64, 64) : QPixmap());
    box.exec();
}

} // namespace saldorama::ui
