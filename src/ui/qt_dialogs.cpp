#include "ui/qt_dialogs.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QPushButton>
#include <QUrl>

#include "manualview/manual_window.h"
#include "ui/ui_text.h"

namespace saldorama::ui {

namespace {

QtDialogs::Hook& hook() {
    static QtDialogs::Hook h;
    return h;
}

// Notices and failures: the hook's, or a box with only OK.
void show_box(QWidget* parent, const BoxCall& call) {
    if (hook()) {
        hook()(call);
        return;
    }
    QMessageBox box(call.icon, call.title, call.text, QMessageBox::Ok, parent);
    box.exec();
}

QString native_to_q(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
std::string q_to_native(const QString& path) { return QFile::encodeName(path).toStdString(); }

} // namespace

void QtDialogs::setHook(Hook h) { hook() = std::move(h); }
bool QtDialogs::hooked() { return static_cast<bool>(hook()); }
BoxAnswer QtDialogs::callHook(const BoxCall& call) { return hook()(call); }

void QtDialogs::notice(const std::string& text) {
    show_box(parent_, {BoxCall::Kind::Notice, kAppTitle, qs(text), QMessageBox::NoIcon, {}, {}, {}, {}});
}

bool QtDialogs::openDocument(const std::string& path) {
    BoxCall call{BoxCall::Kind::OpenDocument, {}, {}, QMessageBox::NoIcon, native_to_q(path), {}, {}, {}};
    if (hook()) return hook()(call).yes;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(call.fileName));
}

bool QtDialogs::openManual(const std::string& path, const std::string& chapter) {
    // The chapter is UTF-8 already: it names a heading of the guide.
    BoxCall call{BoxCall::Kind::OpenDocument, {}, QString::fromStdString(chapter), QMessageBox::NoIcon,
                 native_to_q(path), {}, {}, {}};
    if (hook()) return hook()(call).yes;
    if (manualview::ManualWindow::open(call.fileName, call.text)) return true;
    return openDocument(path);
}

bool QtDialogs::question(const std::string& text, Preset preset) {
    BoxCall call{BoxCall::Kind::Question, QString::fromUtf8("Bestätigung"), qs(text), QMessageBox::Question, {}, {}, {}, {}};
    call.preset = preset;
    if (hook()) return hook()(call).yes;
    QMessageBox box(call.icon, call.title, call.text, QMessageBox::NoButton, parent_);
    QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    box.setDefaultButton(preset == Preset::No ? no : yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

Answer QtDialogs::questionWithCancel(const std::string& text) {
    BoxCall call{BoxCall::Kind::Question, QString::fromUtf8("Bestätigung"), qs(text), QMessageBox::Question, {}, {}, {}, {}};
    call.withCancel = true;
    if (hook()) {
        const BoxAnswer answer = hook()(call);
        return answer.cancel ? Answer::Cancel : answer.yes ? Answer::Yes : Answer::No;
    }
    QMessageBox box(call.icon, call.title, call.text, QMessageBox::NoButton, parent_);
    QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    // Escape and the box's close button both press "Abbrechen".
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes) return Answer::Yes;
    if (box.clickedButton() == no) return Answer::No;
    return Answer::Cancel;
}

void QtDialogs::failure(const std::string& text) {
    show_box(parent_, {BoxCall::Kind::Failure, kAppTitle, qs(text), QMessageBox::Critical, {}, {}, {}, {}});
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
    call.directory = startFolder_;
    if (hook()) {
        const BoxAnswer answer = hook()(call);
        if (!answer.file) return std::nullopt;
        return q_to_native(*answer.file);
    }
    QFileDialog dialog(parent_, call.title, call.directory, call.filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(call.defaultSuffix);
    if (!call.fileName.isEmpty()) dialog.selectFile(call.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return q_to_native(dialog.selectedFiles().constFirst());
}

} // namespace saldorama::ui
