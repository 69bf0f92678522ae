#include "ui/qt_dialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QPushButton>

#include "ui/ui_text.h"

namespace saldorama::ui {

namespace {

QtDialogs::Hook& hook() {
    static QtDialogs::Hook h;
    return h;
}

void messageBox(QWidget* parent, const QString& title, const QString& text, QMessageBox::Icon icon) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

QString native_to_q(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
std::string q_to_native(const QString& path) { return QFile::encodeName(path).toStdString(); }

} // namespace

void QtDialogs::setHook(Hook h) { hook() = std::move(h); }
bool QtDialogs::hooked() { return static_cast<bool>(hook()); }
BoxAnswer QtDialogs::callHook(const BoxCall& call) { return hook()(call); }

void QtDialogs::notice(const std::string& text) {
    BoxCall call{BoxCall::Kind::Notice, kAppTitle, qs(text), QMessageBox::NoIcon, {}, {}, {}};
    if (hook()) {
        hook()(call);
        return;
    }
    messageBox(parent_, call.title, call.text, call.icon);
}

bool QtDialogs::question(const std::string& text) {
    BoxCall call{BoxCall::Kind::Question, QString::fromUtf8("Bestätigung"), qs(text), QMessageBox::Question, {}, {}, {}};
    if (hook()) return hook()(call).yes;
    QMessageBox box(call.icon, call.title, call.text, QMessageBox::NoButton, parent_);
    QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void QtDialogs::failure(const std::string& text) {
    BoxCall call{BoxCall::Kind::Failure, kAppTitle, qs(text), QMessageBox::Critical, {}, {}, {}};
    if (hook()) {
        hook()(call);
        return;
    }
    messageBox(parent_, call.title, call.text, call.icon);
}

std::optional<std::string> QtDialogs::saveFile(const FileDialogSpec& request) { return fileDialog(request, true); }
std::optional<std::string> QtDialogs::openFile(const FileDialogSpec& request) { return fileDialog(request, false); }

std::optional<std::string> QtDialogs::fileDialog(const FileDialogSpec& request, bool save) {
    BoxCall call;
    call.kind = save ? BoxCall::Kind::SaveFile : BoxCall::Kind::OpenFile;
    call.title = qs(request.title);
    call.fileName = native_to_q(request.fileName);
    call.filter = qs(request.filterName);
    call.defaultSuffix = qs(request.defaultExtension);
    if (hook()) {
        const BoxAnswer answer = hook()(call);
        if (!answer.file) return std::nullopt;
        return q_to_native(*answer.file);
    }
    QFileDialog dialog(parent_, call.title, QString(), call.filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(call.defaultSuffix);
    if (!call.fileName.isEmpty()) dialog.selectFile(call.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return q_to_native(dialog.selectedFiles().constFirst());
}

} // namespace saldorama::ui
