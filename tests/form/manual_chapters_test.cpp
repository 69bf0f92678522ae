// F1 opens the guide at the chapter of the page on show: every page names a
// chapter the guide has, and the pages a learner uses most have their own.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "form/manual_chapters.h"

using namespace saldorama;

TEST(ManualChapters, EveryPageOpensAChapterOfTheGuide) {
    std::ifstream source(SALDORAMA_DATA_DIR "/../docs/anleitung.md");
    ASSERT_TRUE(source);
    std::set<std::string> headings;
    for (std::string line; std::getline(source, line);)
        if (line.rfind("# ", 0) == 0) headings.insert(line.substr(2));

    const struct {
        Page page;
        const char* chapter;
    } pages[] = {
        {Page::TabSheet1, "1. Das Fenster im Überblick"},
        {Page::TabSheet2, "2. Die Firmendaten"},
        {Page::TabSheet3, "4. Die Eröffnungsbilanz"},
        {Page::TabSheet4, "5. Buchen und Korrigieren"},
        {Page::TabSheet5, "6. Die Berichte"},
        {Page::TabSheet6, "6. Die Berichte"},
        {Page::TabSheet7, "11. Für Lehrkräfte"},
        {Page::TabSheet8, "3. Die Aufgaben und „Prüfen“"},
        {Page::TabSheet9, "7. Die T-Konten und der Kontenplan"},
        {Page::TabSheet10, "7. Die T-Konten und der Kontenplan"},
        {Page::TabSheet11, "6. Die Berichte"},
    };
    for (const auto& p : pages) {
        EXPECT_EQ(manual_chapter(p.page), p.chapter) << static_cast<int>(p.page);
        EXPECT_TRUE(headings.contains(manual_chapter(p.page))) << manual_chapter(p.page) << " is no chapter of the guide";
    }
}
