#pragma once
#include <array>
#include <string>

#include "kernel/controls.h"

namespace saldorama {

// TabSheet8 and the check list in the top panel.
class ExercisePage {
public:
    ExercisePage();

    Label Label13;  // "Bitte wähle eine Aufgabe aus!"
    std::array<Button, 8> buttons;  // SpeedButton14..SpeedButton21, "1".."8"
    std::array<Label, 8> titles;    // Label36..Label43
    CheckListBox CheckListBox1;

    void SpeedButton14Click();
    void SpeedButton15Click();
    void SpeedButton16Click();
    void SpeedButton17Click();
    void SpeedButton18Click();
    void SpeedButton19Click();
    void SpeedButton20Click();
    void SpeedButton21Click();
    // Exercise n (1..8) into the check list, every item unticked.
    void load(int n);
};

} // namespace saldorama
