# Fails when a text of the screens has no finished English translation: runs lupdate over the sources into a
# copy of translations/halvorn_en.ts (new or changed texts come in unfinished, texts no longer in the sources
# drop out) and looks for unfinished or empty translations. The committed .ts is never touched.
# Variables: LUPDATE (the tool), TS_FILE, SOURCES_LIST (a file naming the sources, one a line), WORK_DIR,
# OPTIONS (lupdate's options, a list).
file(MAKE_DIRECTORY ${WORK_DIR})
set(copy ${WORK_DIR}/halvorn_en.ts)
file(COPY_FILE ${TS_FILE} ${copy})
execute_process(COMMAND ${LUPDATE} ${OPTIONS} @${SOURCES_LIST} -ts ${copy}
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "lupdate failed (${status}):\n${output}${errors}")
endif()
file(READ ${copy} ts)
string(REGEX MATCHALL "<message>" messages "${ts}")
list(LENGTH messages count)
string(REGEX MATCHALL "<source>[^<]*</source>[^<]*(<comment>[^<]*</comment>[^<]*|<extracomment>[^<]*</extracomment>[^<]*|<translatorcomment>[^<]*</translatorcomment>[^<]*)*<translation type=\"unfinished\"[^<]*</translation>"
    unfinished "${ts}")
string(REGEX MATCHALL "<source>[^<]*</source>[^<]*(<comment>[^<]*</comment>[^<]*|<extracomment>[^<]*</extracomment>[^<]*|<translatorcomment>[^<]*</translatorcomment>[^<]*)*<translation>[ \t\r\n]*</translation>"
    empty "${ts}")
list(APPEND unfinished ${empty})
list(LENGTH unfinished missing)
if(missing GREATER 0)
    string(REPLACE ";" "\n" list "${unfinished}")
    message(FATAL_ERROR "${missing} of ${count} texts have no finished English translation "
        "(run the halvorn_lupdate target and translate them in translations/halvorn_en.ts):\n${list}")
endif()
message(STATUS "${count} texts, all translated")
