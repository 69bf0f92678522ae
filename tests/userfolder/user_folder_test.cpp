#include "userfolder/user_folder.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "bookings/booking_record.h"
#include "userfolder/folder_error.h"
#include "support/work_dir.h"

using namespace saldorama;
using Names = std::vector<std::string>;

namespace {

// An installation's data folder "inst" and the user's folder "home/saldorama"
// (not yet there) inside one temporary directory.
class Seeding : public ::testing::Test {
protected:
    test::WorkDir dir;
    const std::string supplied = dir.path() + "/inst";
    const std::string folder = dir.path() + "/home/saldorama";

    Seeding() {
        std::filesystem::create_directory(supplied);
        supply("Aufgabe1.txt", "Aufgabe 1, Fassung 1");
        supply("Aufgabe2.txt", "Aufgabe 2, Fassung 1");
        supply("Kontenplan1.txt", "Kasse, Fassung 1");
        supply("Kontenplan2.txt", "Bank, Fassung 1");
        supply("einstellungen.txt", "Einstellungen, Fassung 1");
    }
    void supply(const std::string& name, const std::string& text) const { dir.write("inst/" + name, text); }
    void mine(const std::string& name, const std::string& text) const { dir.write("home/saldorama/" + name, text); }
    [[nodiscard]] std::string in_folder(const std::string& name) const { return dir.read("home/saldorama/" + name); }
};

} // namespace

TEST_F(Seeding, FirstStartCopiesEverySuppliedFileAndRecordsVersionAndChecksums) {
    const SeedReport r = prepare_user_folder(supplied, folder, "1.2");
    EXPECT_EQ(r.added, (Names{"Aufgabe1.txt", "Aufgabe2.txt", "Kontenplan1.txt", "Kontenplan2.txt", "einstellungen.txt"}));
    EXPECT_TRUE(r.refreshed.empty());
    EXPECT_EQ(in_folder("Aufgabe2.txt"), "Aufgabe 2, Fassung 1");
    const std::string stamp = in_folder(kSeedStampName);
    EXPECT_TRUE(stamp.starts_with("Saldorama 1.2\n")) << stamp;
    EXPECT_NE(stamp.find(" Kontenplan2.txt\n"), std::string::npos) << stamp;
}

TEST_F(Seeding, LaterStartsAddMissingFilesAndNeverTouchWhatTheProgramWrites) {
    prepare_user_folder(supplied, folder, "1.2");
    mine("einstellungen.txt", "meine Firma");
    mine("buchungen.dat", "meine Buchungen");
    mine("Sicherung.qrx", "meine Sicherung");
    std::filesystem::remove(folder + "/Aufgabe1.txt");
    supply("einstellungen.txt", "Einstellungen, Fassung 2");
    supply("buchungen.dat", "leer");

    const SeedReport r = prepare_user_folder(supplied, folder, "1.3");
    EXPECT_EQ(r.added, Names{"Aufgabe1.txt"});
    EXPECT_TRUE(r.keptCopies.empty());
    EXPECT_EQ(in_folder("einstellungen.txt"), "meine Firma");
    EXPECT_EQ(in_folder("buchungen.dat"), "meine Buchungen");
    EXPECT_EQ(in_folder("Sicherung.qrx"), "meine Sicherung");
}

TEST_F(Seeding, NewerVersionRefreshesExercisesAndKeepsEveryChangedVersionAside) {
    prepare_user_folder(supplied, folder, "1.2");
    mine("Aufgabe2.txt", "Aufgabe 2 mit meinen Notizen");
    supply("Aufgabe1.txt", "Aufgabe 1, Fassung 2");
    supply("Aufgabe2.txt", "Aufgabe 2, Fassung 2");

    SeedReport r = prepare_user_folder(supplied, folder, "1.10");
    EXPECT_EQ(r.refreshed, (Names{"Aufgabe1.txt", "Aufgabe2.txt"}));
    EXPECT_EQ(r.keptCopies, Names{"Aufgabe2.txt.bak"});
    EXPECT_EQ(in_folder("Aufgabe1.txt"), "Aufgabe 1, Fassung 2");
    EXPECT_EQ(in_folder("Aufgabe2.txt"), "Aufgabe 2, Fassung 2");
    EXPECT_EQ(in_folder("Aufgabe2.txt.bak"), "Aufgabe 2 mit meinen Notizen");
    EXPECT_FALSE(dir.exists("home/saldorama/Aufgabe1.txt.bak"));

    // A second change and a second update never overwrite the first copy.
    mine("Aufgabe2.txt", "neue Notizen");
    supply("Aufgabe2.txt", "Aufgabe 2, Fassung 3");
    r = prepare_user_folder(supplied, folder, "2.0");
    EXPECT_EQ(r.keptCopies, Names{"Aufgabe2.txt.bak2"});
    EXPECT_EQ(in_folder("Aufgabe2.txt.bak"), "Aufgabe 2 mit meinen Notizen");
    EXPECT_EQ(in_folder("Aufgabe2.txt.bak2"), "neue Notizen");
}

// The guide is a supplied text like the exercises: a newer one replaces it.
TEST_F(Seeding, NewerVersionRefreshesTheGuide) {
    supply("Anleitung.pdf", "%PDF Fassung 1");
    prepare_user_folder(supplied, folder, "1.2");
    supply("Anleitung.pdf", "%PDF Fassung 2");
    const SeedReport r = prepare_user_folder(supplied, folder, "1.3");
    EXPECT_EQ(r.refreshed, Names{"Anleitung.pdf"});
    EXPECT_EQ(in_folder("Anleitung.pdf"), "%PDF Fassung 2");
}

TEST_F(Seeding, ChartsAreRefreshedOnlyWhileTheUserLeftThemAsSupplied) {
    prepare_user_folder(supplied, folder, "1.2");
    mine("Kontenplan2.txt", "mein eigener Kontenplan");
    supply("Kontenplan1.txt", "Kasse, Fassung 2");
    supply("Kontenplan2.txt", "Bank, Fassung 2");

    const SeedReport r = prepare_user_folder(supplied, folder, "1.3");
    EXPECT_EQ(r.refreshed, Names{"Kontenplan1.txt"});
    EXPECT_TRUE(r.keptCopies.empty());
    EXPECT_EQ(in_folder("Kontenplan1.txt"), "Kasse, Fassung 2");
    EXPECT_EQ(in_folder("Kontenplan2.txt"), "mein eigener Kontenplan");
}

// A newer chart that drops an account waits while a booking uses that
// account; accounts of another chart (here "Waren") never hold it back.
TEST_F(Seeding, ChartIsHeldBackWhileABookingUsesAnAccountTheNewChartLacks) {
    const auto chart = [](std::initializer_list<const char*> names) {
        std::string text;
        for (const char* name : names) text += std::string(name) + "<B> A  B\r\n";
        return text;
    };
    const auto bookings = [](std::initializer_list<const char*> accounts) {
        std::string bytes;
        for (const char* account : accounts) {
            BookingRecord r;
            r.account[0] = account;
            r.account[1] = "Kasse";
            const RecordBytes b = encode_record(r);
            bytes.append(reinterpret_cast<const char*>(b.data()), b.size());
        }
        return bytes;
    };
    supply("Kontenplan1.txt", chart({"Kasse", "Spenden"}));
    prepare_user_folder(supplied, folder, "1.2");
    supply("Kontenplan1.txt", chart({"Kasse", "Bank"}));
    struct Case {
        const char* what;
        std::string bookings;
        bool held;
    };
    const Case cases[] = {
        {"a booking on the dropped account", bookings({"Waren", "Spenden"}), true},
        {"bookings only on kept or foreign accounts", bookings({"Kasse", "Waren"}), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mine("buchungen.dat", c.bookings);
        const SeedReport r = prepare_user_folder(supplied, folder, "1.3");
        EXPECT_EQ(r.heldCharts, c.held ? Names{"Kontenplan1.txt"} : Names{});
        EXPECT_EQ(in_folder("Kontenplan1.txt"), chart({"Kasse", c.held ? "Spenden" : "Bank"}));
        // Held back, the stamp keeps its version so that the next start tries again.
        EXPECT_TRUE(in_folder(kSeedStampName).starts_with(c.held ? "Saldorama 1.2\n" : "Saldorama 1.3\n"));
    }
}

TEST_F(Seeding, SameOrOlderVersionLeavesEveryExistingFile) {
    prepare_user_folder(supplied, folder, "1.2");
    supply("Aufgabe1.txt", "Aufgabe 1, Fassung 2");
    EXPECT_TRUE(prepare_user_folder(supplied, folder, "1.2").refreshed.empty());
    EXPECT_TRUE(prepare_user_folder(supplied, folder, "1.1").refreshed.empty());
    EXPECT_EQ(in_folder("Aufgabe1.txt"), "Aufgabe 1, Fassung 1");
    EXPECT_TRUE(in_folder(kSeedStampName).starts_with("Saldorama 1.2\n"));
}

TEST_F(Seeding, FilesFoundWithoutAStampCountAsTheUsersOwn) {
    std::filesystem::create_directories(folder);
    mine("Aufgabe1.txt", "von Hand angelegt");
    mine("Kontenplan1.txt", "von Hand angelegt");
    const SeedReport r = prepare_user_folder(supplied, folder, "1.2");
    EXPECT_EQ(r.keptCopies, Names{"Aufgabe1.txt.bak"});
    EXPECT_EQ(in_folder("Aufgabe1.txt.bak"), "von Hand angelegt");
    EXPECT_EQ(in_folder("Kontenplan1.txt"), "von Hand angelegt");
}

TEST_F(Seeding, FolderThatCannotBeMadeGetsAGermanMessage) {
    dir.write("datei", "x");
    try {
        prepare_user_folder(supplied, dir.path() + "/datei/saldorama", "1.2");
        FAIL() << "no error";
    } catch (const FolderError& e) {
        EXPECT_EQ(std::string(e.what()), "Der Ordner „" + dir.path() + "/datei/saldorama“ kann nicht angelegt werden.");
    }
}

TEST(VersionNewer, ComparesNumbersPartByPart) {
    EXPECT_TRUE(version_newer("1.10", "1.9"));
    EXPECT_TRUE(version_newer("2", "1.9.9"));
    EXPECT_FALSE(version_newer("1.2", "1.2.0"));
    EXPECT_FALSE(version_newer("1.2", "1.3"));
}
