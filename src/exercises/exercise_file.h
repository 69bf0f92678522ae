#pragma once
#include <string>
#include <vector>

namespace saldorama {

// "Aufgabe1.txt", "Aufgabe2.txt", ... as start-up names them for the titles.
[[nodiscard]] std::string exercise_file_name(int n);

// How many exercises the working folder holds: the highest N of the files
// "AufgabeN.txt" found there, whatever the case of the name. The exercises
// are numbered from 1 without gaps, so a number below it whose file is
// missing is a fault that reading that exercise reports.
[[nodiscard]] int exercise_count();

// The lines of exercise n from "aufgabeN.txt", found whatever the case of
// the name on disk. Fails with "Datei <path> kann nicht geöffnet werden.
// <reason>" when the file cannot be read.
[[nodiscard]] std::vector<std::string> read_exercise(int n);

} // namespace saldorama
