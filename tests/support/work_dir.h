#pragma once
#include <string>
#include <vector>

namespace saldorama::test {

// How many exercises the supplied data folder holds ("Aufgabe1.txt" up to
// the first number without a file).
[[nodiscard]] int supplied_exercise_count();

// A fresh temporary working directory for one test; the test runs inside it
// and the previous directory is restored (and the folder removed) afterwards.
class WorkDir {
public:
    WorkDir();
    ~WorkDir();
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;

    [[nodiscard]] const std::string& path() const { return path_; }
    // Writes bytes as they are (CP1252 content is the caller's business).
    void write(const std::string& name, const std::string& bytes) const;
    // Writes lines each ended by CR LF.
    void writeLines(const std::string& name, const std::vector<std::string>& lines) const;
    [[nodiscard]] std::string read(const std::string& name) const;
    [[nodiscard]] bool exists(const std::string& name) const;
    // Copies a file of the supplied data folder into the directory.
    void copyFromData(const std::string& name) const;
    // A settings file of 18 lines: chart index `chartIndex`, year `year`.
    void writeSettings(int chartIndex = 0, const std::string& year = "2026") const;

private:
    std::string previous_;
    std::string path_;
};

} // namespace saldorama::test
