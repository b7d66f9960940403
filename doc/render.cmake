# Renders the manual page as plain text for Windows: mandoc's overstrikes for bold and underline
# removed, and CR LF line ends for Notepad.
# Usage: cmake -DMANDOC=path -DPAGE=listmenu.1 -DTEXT=listmenu.txt -P render.cmake
execute_process(COMMAND ${MANDOC} -Tascii ${PAGE} OUTPUT_VARIABLE text COMMAND_ERROR_IS_FATAL ANY)
string(ASCII 8 backspace)
string(REGEX REPLACE ".${backspace}" "" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${TEXT} "${text}")
