# Renders the manual page as plain text for the Windows zip: the page's Windows variant, without
# the Unix manual's header line or mandoc's overstrikes for bold and underline, with CR LF line ends
# for Notepad.
# Usage: cmake -DMANDOC=path -DPAGE=listmenu.1 -DTEXT=listmenu.txt -P render.cmake
file(READ ${PAGE} page)
string(REPLACE "\n.nr windows 0\n" "\n.nr windows 1\n" page "${page}")
file(WRITE ${TEXT}.roff "${page}")
execute_process(COMMAND ${MANDOC} -Tascii ${TEXT}.roff OUTPUT_VARIABLE text COMMAND_ERROR_IS_FATAL ANY)
string(ASCII 8 backspace)
string(REGEX REPLACE ".${backspace}" "" text "${text}")
string(REGEX REPLACE "^[^\n]*\n\n" "" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${TEXT} "${text}")
