#include "exercises/exercise_file.h"

#include <algorithm>
#include <cstdlib>

#include "base/cp1252.h"
#include "base/failure.h"
#include "base/file.h"
#include "base/text_file.h"

namespace saldorama {

std::string exercise_file_name(int n) { return "Aufgabe" + std::to_string(n) + ".txt"; }

int exercise_count() {
    const std::string prefix = "aufgabe", suffix = ".txt";
    int count = 0;
    for (std::string name : directory_names()) {
        for (char& c : name)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (name.size() <= prefix.size() + suffix.size() || name[prefix.size()] == '0') continue;
        if (!name.starts_with(prefix) || !name.ends_with(suffix)) continue;
        const std::string number = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
        // More digits than an int holds cannot be an exercise a teacher wrote.
        if (number.size() > 6 || number.find_first_not_of("0123456789") != std::string::npos) continue;
        count = std::max(count, std::atoi(number.c_str()));
    }
    return count;
}

std::vector<std::string> read_exercise(int n) {
    // The buttons name the files in lower case; on Linux the lookup ignores case.
    const std::string name = resolve_name("aufgabe" + std::to_string(n) + ".txt");
    std::string bytes;
    try {
        bytes = read_file(name);
    } catch (const Failure& f) {
        fail("Datei " + utf8_to_cp1252(full_path(name)) + cp(" kann nicht geöffnet werden. ") + f.text());
    }
    return split_lines(bytes, LineEnds::CrLfLfOrCr);
}

} // namespace saldorama
