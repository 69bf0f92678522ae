// Any exercise file loads into the check list, every item unticked.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace saldorama;
    fuzz::enter_scratch_dir();
    fuzz::write_file("Aufgabe1.txt", std::string(reinterpret_cast<const char*>(data), size));
    ScriptedDialogs dialogs;
    TForm1 form(dialogs);
    if (!form.run([&] { form.exercises.ExerciseButtonClick(1); })) std::abort();
    const auto& list = form.exercises.CheckListBox1;
    if (list.items.size() != list.checked.size()) std::abort();
    for (bool c : list.checked)
        if (c) std::abort();
    return 0;
}
