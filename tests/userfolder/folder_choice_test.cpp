#include "userfolder/folder_choice.h"

#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "userfolder/folder_error.h"
#include "support/work_dir.h"

using namespace saldorama;
using Where = FolderChoice::Where;

namespace {

std::string error_of(const std::function<void()>& f) {
    try {
        f();
    } catch (const FolderError& e) {
        return e.what();
    }
    return "(kein Fehler)";
}

} // namespace

TEST(FolderOptions, NoneLongAndShortFormsAndTheUsersFolder) {
    EXPECT_EQ(parse_folder_options({}).where, Where::Current);
    for (const char* option : {"-C", "--ordner"}) {
        const FolderChoice c = parse_folder_options({option, "übung 1"});
        EXPECT_EQ(c.where, Where::Given);
        EXPECT_EQ(c.directory, "übung 1");
    }
    EXPECT_EQ(parse_folder_options({"--benutzerordner"}).where, Where::User);
    EXPECT_TRUE(parse_folder_options({"--help"}).help);
}

TEST(FolderOptions, WrongUsageIsNamedInGerman) {
    EXPECT_EQ(error_of([] { (void)parse_folder_options({"--ordner"}); }), "Nach --ordner fehlt der Ordner.");
    EXPECT_EQ(error_of([] { (void)parse_folder_options({"-C", ""}); }), "Der Ordnername nach -C ist leer.");
    EXPECT_EQ(error_of([] { (void)parse_folder_options({"-C", "a", "--benutzerordner"}); }),
              "Es darf nur ein Ordner angegeben werden (-C/--ordner oder --benutzerordner).");
    EXPECT_EQ(error_of([] { (void)parse_folder_options({"datei.qrx"}); }), "Unbekannte Angabe „datei.qrx“.");
}

TEST(FolderPaths, XdgDataHomeThenHomeAndTheDataBesideTheExecutable) {
    EXPECT_EQ(user_folder_path("/x/daten", "/home/lea"), "/x/daten/saldorama");
    EXPECT_EQ(user_folder_path("relativ", "/home/lea"), "/home/lea/.local/share/saldorama");
    EXPECT_EQ(user_folder_path(nullptr, "/home/lea"), "/home/lea/.local/share/saldorama");
    EXPECT_EQ(error_of([] { (void)user_folder_path("", nullptr); }),
              "Dein eigener Ordner kann nicht bestimmt werden: HOME ist nicht gesetzt.");
    EXPECT_EQ(supplied_folder_path("/opt/schule/bin/saldorama"), "/opt/schule/share/saldorama");
    EXPECT_EQ(supplied_folder_path("/usr/bin/../bin/saldorama"), "/usr/share/saldorama");
}

TEST(EnterFolder, GivenFolderBecomesTheWorkingDirectory) {
    test::WorkDir dir;
    std::filesystem::create_directory(dir.path() + "/klasse");
    dir.write("datei", "x");
    const std::string entered = enter_folder({Where::Given, "klasse", false}, "1.2");
    EXPECT_EQ(entered, dir.path() + "/klasse");
    EXPECT_EQ(std::filesystem::current_path().string(), entered);
    EXPECT_EQ(error_of([] { (void)enter_folder({Where::Given, "fehlt", false}, "1.2"); }),
              "Den Ordner „fehlt“ gibt es nicht.");
    EXPECT_EQ(error_of([&] { (void)enter_folder({Where::Given, dir.path() + "/datei", false}, "1.2"); }),
              "„" + dir.path() + "/datei“ ist kein Ordner.");
}

TEST(EnterFolder, UsersFolderNeedsTheInstalledDataBesideTheExecutable) {
    // A test executable has no installation beside it.
    const std::string expected = supplied_folder_path(executable_path());
    ASSERT_FALSE(std::filesystem::exists(expected));
    EXPECT_EQ(error_of([] { (void)enter_folder({Where::User, "", false}, "1.2"); }),
              "Die mitgelieferten Dateien fehlen: Den Ordner „" + expected +
                  "“ gibt es nicht. Ist Saldorama vollständig installiert?");
}
