#pragma once
#include <string>

class QWidget;

namespace saldorama::ui {

// "Über Saldorama": name, version of this build, licence and authors.
void show_about_box(QWidget* parent);
// The box's text, for the box and its test.
[[nodiscard]] std::string about_text();

} // namespace saldorama::ui
