#include "base/io_error.h"

#include <cerrno>

#include <gtest/gtest.h>

#include "base/cp1252.h"

using namespace saldorama;

TEST(IoErrorText, KnownErrorsHaveGermanTexts) {
    EXPECT_EQ(io_error_text(ENOENT), "Datei nicht gefunden");
    EXPECT_EQ(io_error_text(EACCES), "Dateizugriff verweigert");
    EXPECT_EQ(io_error_text(EROFS), "Dateizugriff verweigert");
    EXPECT_EQ(io_error_text(EPERM), "Dateizugriff verweigert");
    EXPECT_EQ(io_error_text(EMFILE), cp("Zu viele geöffnete Dateien"));
    EXPECT_EQ(io_error_text(ENAMETOOLONG), cp("Ungültiger Dateiname"));
    EXPECT_EQ(io_error_text(ENOSPC), "Zu wenig Speicherplatz");
}

TEST(IoErrorText, OtherErrorsNameTheirNumber) {
    EXPECT_EQ(io_error_text(EIO), "E/A-Fehler " + std::to_string(EIO));
}
