# cmake -DPDF=<Anleitung.pdf> -DSOURCE=<anleitung.md> -P check_pdf.cmake
# The built user guide names every page of the program, shows a screenshot
# for each picture its source asks for, and never prints the access word.
if(NOT EXISTS "${PDF}")
  message(FATAL_ERROR "${PDF} was not built")
endif()

execute_process(COMMAND pdftotext -enc UTF-8 "${PDF}" - OUTPUT_VARIABLE text RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "pdftotext failed on ${PDF}")
endif()
# Words a line or page break parted are joined again.
string(ASCII 12 formFeed)
string(REGEX REPLACE "[ \t\r\n${formFeed}]+" " " text "${text}")

# The navigation captions and the buttons that show a page of their own.
set(pages "Eröffnungsbuchungen" "Buchungen" "Bilanz und GuV" "Saldenüberprüfung" "Betriebsergebnis"
  "Journal" "Kontenblätter" "Aufgaben" "Grundeinstellungen" "Einstellungen" "Kontenplan ansehen"
  "Kontenplan" "Alles Speichern" "Sicherung laden!" "Hilfe" "Prüfen" "Lösung zeigen" "Löschen" "Ändern"
  "Drucken…" "Als PDF speichern…" "Lehrbuchform")
foreach(page IN LISTS pages)
  string(FIND "${text}" "„${page}“" at)
  if(at EQUAL -1)
    message(SEND_ERROR "the guide never names „${page}“")
  endif()
endforeach()
foreach(word "Strg+1" "Strg+9" "Alt+N" "Alt+B" "Strg+P" "Strg+C" "Strg+S" "Strg+Z" "F1" "Rückgängig"
    "saldorama-cli pruefen" "saldorama-cli -C vorlage loesung")
  string(FIND "${text}" "${word}" at)
  if(at EQUAL -1)
    message(SEND_ERROR "the guide never mentions ${word}")
  endif()
endforeach()

string(TOLOWER "${text}" lower)
string(FIND "${lower}" "mentor" at)
if(NOT at EQUAL -1)
  message(SEND_ERROR "the guide prints the access word")
endif()

# One image per picture of the source (pdfimages lists masks as "smask").
file(READ "${SOURCE}" source)
string(REGEX MATCHALL "!\\[[^]]*\\]\\(bild:[a-z]+\\.png\\)" wanted "${source}")
list(LENGTH wanted wantedCount)
execute_process(COMMAND pdfimages -list "${PDF}" OUTPUT_VARIABLE list RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "pdfimages failed on ${PDF}")
endif()
# A real screenshot, not the 16-pixel icon Qt draws for a missing picture.
string(REGEX MATCHALL "\n +[0-9]+ +[0-9]+ +image +[0-9][0-9][0-9]+ " images "${list}")
list(LENGTH images imageCount)
if(wantedCount LESS 11 OR imageCount LESS wantedCount)
  message(SEND_ERROR "${imageCount} images in the guide, ${wantedCount} pictures in its source (at least 11 pages)")
endif()
message(STATUS "${imageCount} images; every page named")

# A sound PDF whose outline and table of contents lead to every chapter.
execute_process(COMMAND qpdf --check "${PDF}" OUTPUT_QUIET RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(SEND_ERROR "qpdf --check finds faults in ${PDF}")
endif()
execute_process(COMMAND qpdf --json --json-key=outlines "${PDF}" OUTPUT_VARIABLE outline RESULT_VARIABLE rc)
string(REGEX MATCHALL "\n# [^\n]+" chapters "\n${source}")
list(REMOVE_AT chapters 0)  # the title
foreach(chapter IN LISTS chapters)
  string(REGEX REPLACE "^\n# " "" chapter "${chapter}")
  string(FIND "${outline}" "\"title\": \"${chapter}\"" at)
  if(at EQUAL -1)
    message(SEND_ERROR "the outline lacks „${chapter}“")
  endif()
  string(REGEX MATCH "${chapter} [0-9]+ " listed "${text}")
  if(NOT listed)
    message(SEND_ERROR "the table of contents gives no page for „${chapter}“")
  endif()
endforeach()
