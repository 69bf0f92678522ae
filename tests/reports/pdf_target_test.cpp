#include "reports/pdf_target.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/work_dir.h"

namespace saldorama {
namespace {

TEST(PdfTarget, DataFilesOfTheWorkingFolderAreRefusedInAnyCase) {
    test::WorkDir dir;
    const std::string here = std::filesystem::current_path().string();
    for (const char* name : {"buchungen.dat", "BUCHUNGEN.DAT", "einstellungen.txt", "Kontenplan1.txt",
                             "kontenplan4.TXT", "Aufgabe7.txt", "Loesung3.txt", "Wichtiger Hinweis.rtf", "temp.dat",
                             "./buchungen.dat"}) {
        const std::string refusal = pdf_target_refusal(name, here);
        EXPECT_NE(refusal.find("wird nicht"), std::string::npos) << name;
        EXPECT_EQ(pdf_target_refusal(here + "/" + name, here), refusal) << name;
    }
}

TEST(PdfTarget, OtherNamesAndOtherFoldersAreFine) {
    test::WorkDir dir;
    const std::string here = std::filesystem::current_path().string();
    std::filesystem::create_directory("abgabe");
    for (const char* name : {"Bilanz.pdf", "buchungen.pdf", "abgabe/buchungen.dat", "Kontenplan.txt", "Aufgabe.pdf", "Loesung.txt"})
        EXPECT_EQ(pdf_target_refusal(name, here), "") << name;
}

TEST(PdfTarget, EmptyNameAndFolderAreRefused) {
    test::WorkDir dir;
    const std::string here = std::filesystem::current_path().string();
    std::filesystem::create_directory("abgabe");
    EXPECT_NE(pdf_target_refusal("", here), "");
    EXPECT_NE(pdf_target_refusal("abgabe", here).find("Ordner"), std::string::npos);
}

} // namespace
} // namespace saldorama
