#include "exercises/exercise_file.h"

#include "base/cp1252.h"
#include "base/failure.h"
#include "base/file.h"
#include "base/text_file.h"

namespace saldorama {

std::string exercise_file_name(int n) { return "Aufgabe" + std::to_string(n) + ".txt"; }

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
