#include "exercises/exercise_page.h"

#include "app/tform1.h"
#include "base/cp1252.h"
#include "base/failure.h"
#include "base/file.h"
#include "base/text_file.h"

namespace saldorama {

ExercisePage::ExercisePage(TForm1& form) : form_(form) {
    Label13.text = cp("Bitte wähle eine Aufgabe aus!");
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        buttons[i].text = std::to_string(i + 1);
        titles[i].text = "Label" + std::to_string(36 + i);
    }
}

std::string ExercisePage::file_name(int n) { return "Aufgabe" + std::to_string(n) + ".txt"; }

void ExercisePage::load(int n) {
    CheckListBox1.clear();
    // The buttons name the files in lower case; on Linux the lookup ignores case.
    const std::string name = resolve_name("aufgabe" + std::to_string(n) + ".txt");
    std::string bytes;
    try {
        bytes = read_file(name);
    } catch (const Failure& f) {
        fail("Datei " + utf8_to_cp1252(full_path(name)) + cp(" kann nicht geöffnet werden. ") + f.text());
    }
    for (auto& line : split_lines(bytes, LineEnds::CrLfLfOrCr)) CheckListBox1.add(std::move(line));
}

void ExercisePage::SpeedButton14Click() { load(1); }
void ExercisePage::SpeedButton15Click() { load(2); }
void ExercisePage::SpeedButton16Click() { load(3); }
void ExercisePage::SpeedButton17Click() { load(4); }
void ExercisePage::SpeedButton18Click() { load(5); }
void ExercisePage::SpeedButton19Click() { load(6); }
void ExercisePage::SpeedButton20Click() { load(7); }
void ExercisePage::SpeedButton21Click() { load(8); }

} // namespace saldorama
