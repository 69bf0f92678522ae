#include "form/exercise_page.h"

#include "base/cp1252.h"
#include "exercises/exercise_file.h"

namespace saldorama {

ExercisePage::ExercisePage() {
    Label13.text = cp("Bitte wähle eine Aufgabe aus!");
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        buttons[i].text = std::to_string(i + 1);
        titles[i].text = "Label" + std::to_string(36 + i);
    }
}

void ExercisePage::load(int n) {
    CheckListBox1.clear();
    for (auto& line : read_exercise(n)) CheckListBox1.add(std::move(line));
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
