#include "web/web_form.h"

#include <gtest/gtest.h>

#include "support/work_dir.h"

namespace saldorama {
namespace {

TEST(JsonString, EscapesWhatJsonForbidsAndKeepsUtf8) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"", "\"\""},
        {"Soll \"Bank\"", "\"Soll \\\"Bank\\\"\""},
        {"a\\b", "\"a\\\\b\""},
        {"1\r\n2\t3", "\"1\\r\\n2\\t3\""},
        {std::string("x\x01y", 3), "\"x\\u0001y\""},
        {"Eröffnung „€“", "\"Eröffnung „€“\""},
    };
    for (const auto& c : cases) EXPECT_EQ(json_string(c.in), c.out) << c.in;
}

// The page reaches each control only by its own name and kind.
TEST(WebForm, SettersAnswerWhetherTheControlExists) {
    WebForm web;
    EXPECT_TRUE(web.setText("Edit14", "05.01.2026"));
    EXPECT_EQ(web.form.booking.Edit14.text, "05.01.2026");
    EXPECT_TRUE(web.setText("ComboBox3", "Kasse"));
    EXPECT_EQ(web.form.booking.ComboBox3.text, "Kasse");
    EXPECT_TRUE(web.setText("Edit1", "Müller & Söhne"));
    EXPECT_EQ(web.form.company.Edit1.text, "M\xFCller & S\xF6hne");  // CP1252 inside

    const struct {
        bool done;
        const char* what;
    } refused[] = {
        {web.setText("Edit99", "x"), "unknown control"},
        {web.setText("Memo1", "x"), "a memo takes no text"},
        {web.setChecked("Edit1", true), "an edit field is no check box"},
        {web.setCell("StringGrid2", 2, 1, "x"), "column beyond the grid"},
        {web.setCell("StringGrid2", 1, 100, "x"), "row beyond the grid"},
        {web.setIndex("ListBox1", 0), "index beyond an empty list"},
        {web.setTick("CheckListBox1", 0, true), "tick beyond an empty check list"},
        {web.call("FormDestroy"), "unknown handler"},
    };
    for (const auto& r : refused) EXPECT_FALSE(r.done) << r.what;
}

TEST(WebForm, FilesGoThroughTheDownloadAndUploadFolders) {
    WebDialogs d;
    const struct {
        std::string offered, path;
    } saves[] = {{"sicherung", "/download/sicherung.qrx"},
                 {"/download/lena.qrx", "/download/lena.qrx"},
                 {"", "/download/sicherung.qrx"}};
    for (const auto& s : saves) EXPECT_EQ(d.saveFile({"", s.offered, "", "*.qrx", "qrx"}), s.path) << s.offered;
    EXPECT_EQ(d.openFile({}), std::nullopt);  // nothing chosen: cancelled
    d.upload = "/upload/a.qrx";
    EXPECT_EQ(d.openFile({}), "/upload/a.qrx");
    EXPECT_EQ(d.openFile({}), std::nullopt);  // used once
    EXPECT_FALSE(d.question("Fortfahren?", Preset::Yes));  // no one to ask: No
}

// A booking typed into the controls and booked by name; the view shows it,
// the question went to the browser's box and every box text is UTF-8.
TEST(WebForm, BooksThroughNamesAndShowsTheResult) {
    test::WorkDir dir;
    dir.writeSettings();
    for (int n = 1; n <= 8; ++n) dir.copyFromData("Aufgabe" + std::to_string(n) + ".txt");
    for (int n = 1; n <= 4; ++n) dir.copyFromData("Kontenplan" + std::to_string(n) + ".txt");
    dir.copyFromData("Wichtiger Hinweis.rtf");
    WebForm web;
    std::vector<std::string> asked;
    web.dialogs.ask = [&](const std::string& text) {
        asked.push_back(text);
        return true;
    };
    web.start();
    ASSERT_TRUE(web.call("SpeedButton23Click"));  // "Kontenplan" asks before it empties the bookings
    EXPECT_EQ(asked.size(), 2U);  // twice, as the start page warns
    ASSERT_TRUE(web.call("SpeedButton10Click"));  // chart 1
    ASSERT_TRUE(web.call("SpeedButton3Click"));
    ASSERT_TRUE(web.call("SpeedButton8Click"));
    for (const auto& [name, text] : {std::pair{"Edit14", "05.01.2026"}, {"ComboBox1", "Bank"}, {"Edit17", "800,00"},
                                     {"ComboBox2", "Kasse"}, {"Edit20", "800,00"}})
        ASSERT_TRUE(web.setText(name, text));
    ASSERT_TRUE(web.call("SpeedButton29Click"));
    EXPECT_TRUE(web.dialogs.messages.empty()) << web.dialogs.messages.front().text;
    const std::string view = web.view();
    EXPECT_NE(view.find("\"page\":4"), std::string::npos);
    EXPECT_NE(view.find("\"Label45\":{\"text\":\"1/1\""), std::string::npos) << view.substr(0, 400);

    // The exercise buttons by number, only those the folder lists.
    for (const char* refused : {"ExerciseButton9Click", "ExerciseButton03Click", "ExerciseButton0Click",
                                "ExerciseButtonClick", "ExerciseButton3"})
        EXPECT_FALSE(web.call(refused)) << refused;
    ASSERT_TRUE(web.call("ExerciseButton3Click"));
    EXPECT_EQ(web.form.exercises.loadedExercise(), 3);

    ASSERT_TRUE(web.call("SpeedButton24Click"));  // no access word
    ASSERT_EQ(web.dialogs.messages.size(), 1U);
    EXPECT_EQ(web.dialogs.messages[0].text, "Sie haben keine Berechtigung für diesen Menüpunkt!");
    EXPECT_NE(web.view().find("Berechtigung für"), std::string::npos);
}

} // namespace
} // namespace saldorama
