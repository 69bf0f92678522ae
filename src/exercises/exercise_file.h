#pragma once
#include <string>
#include <vector>

namespace saldorama {

// "Aufgabe1.txt" .. "Aufgabe8.txt" as start-up names them for the titles.
[[nodiscard]] std::string exercise_file_name(int n);

// The lines of exercise n (1..8) from "aufgabeN.txt", found whatever the
// case of the name on disk. Fails with "Datei <path> kann nicht geöffnet
// werden. <reason>" when the file cannot be read.
[[nodiscard]] std::vector<std::string> read_exercise(int n);

} // namespace saldorama
