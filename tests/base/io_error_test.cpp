#include "base/io_error.h"

#include <cerrno>

#include <gtest/gtest.h>

#include "base/cp1252.h"
#include "base/failure.h"

using namespace saldorama;

// Each system error in German words a learner can act on, never a number;
// the name stands in the text, or beside it as the failure's file.
TEST(IoErrorText, NamesTheFileInGermanAndNeverANumber) {
    struct Case {
        int error;
        Access access;
        const char* text;  // UTF-8
        bool fileApart;
    };
    const Case cases[] = {
        {ENOENT, Access::Read, "Datei nicht gefunden", true},
        {ENOSPC, Access::Write, "Zu wenig Speicherplatz.", true},
        {EROFS, Access::Write, "Der Datenträger ist schreibgeschützt.", true},
        {EACCES, Access::Write, "Keine Berechtigung für Bücher.dat.", false},
        {EPERM, Access::Read, "Keine Berechtigung für Bücher.dat.", false},
        {EIO, Access::Read, "Lese- oder Schreibfehler bei Bücher.dat.", false},
        {EMFILE, Access::Read, "Die Datei Bücher.dat kann nicht gelesen werden.", false},
        {EFBIG, Access::Write, "Die Datei Bücher.dat kann nicht geschrieben werden.", false},
    };
    for (const Case& c : cases) {
        try {
            throw_io_error(c.error, "Bücher.dat", c.access);
        } catch (const Failure& f) {
            EXPECT_EQ(f.text(), cp(c.text)) << c.error;
            EXPECT_EQ(f.file(), c.fileApart ? "Bücher.dat" : "") << c.error;
        }
    }
}
