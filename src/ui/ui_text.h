#pragma once
#include <QFont>
#include <QString>
#include <string>
#include <string_view>

namespace saldorama::ui {

// The core speaks CP1252, Qt speaks UTF-16: the two meet only here.
[[nodiscard]] QString qs(std::string_view cp1252);
[[nodiscard]] std::string core_text(const QString& text);

// "Courier New" as the reports ask for it, served by a metric twin where the
// system has no such font; falls back to the system's fixed font so that the
// columns of a report always line up.
[[nodiscard]] QFont fixed_font(const QString& family, int pixelSize, bool bold);

inline constexpr const char* kAppTitle = "Saldorama";

// Application name, window icon, Qt's German texts and the window's base
// font (an Arial-like sans serif, at the small size of the dialog font, so
// that the pages' fixed pixel layouts fit).
void setup_application();
// Qt's own texts (file dialogs, context menus, standard buttons) in German;
// false when the translation is not installed.
bool install_german_translation();

} // namespace saldorama::ui
