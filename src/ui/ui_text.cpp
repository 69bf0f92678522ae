#include "ui/ui_text.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "base/cp1252.h"

// The resources are built into the ui library; a static library needs them
// named once (outside any namespace).
static void init_resources() { Q_INIT_RESOURCE(saldorama_ui); }

namespace saldorama::ui {

QString qs(std::string_view cp1252) { return QString::fromStdString(cp1252_to_utf8(cp1252)); }

std::string core_text(const QString& text) { return utf8_to_cp1252(text.toStdString()); }

QFont fixed_font(const QString& family, int pixelSize, bool bold) {
    // Old "Courier" is served like "Courier New": here fontconfig would pick a
    // PostScript Courier whose tall line spacing pulls reports apart.
    QFont font;
    if (family.compare(QStringLiteral("Courier"), Qt::CaseInsensitive) == 0) {
        font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")});
    } else {
        font.setFamilies({family, QStringLiteral("Liberation Mono")});
    }
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    if (!QFontInfo(font).fixedPitch()) {
        QFont fallback = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        fallback.setPixelSize(pixelSize);
        fallback.setBold(bold);
        return fallback;
    }
    return font;
}

void setup_application() {
    QApplication::setApplicationName(QString::fromLatin1(kAppTitle));
    QApplication::setApplicationDisplayName(QString::fromLatin1(kAppTitle));
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    QApplication::setFont(font);
    init_resources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/saldorama/saldorama.svg")));
    install_german_translation();
}

bool install_german_translation() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    static QTranslator* translator = nullptr;
    if (translator) return true;
    auto* loaded = new QTranslator(QCoreApplication::instance());
    if (!loaded->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete loaded;
        return false;
    }
    QCoreApplication::installTranslator(loaded);
    translator = loaded;
    return true;
}

} // namespace saldorama::ui
