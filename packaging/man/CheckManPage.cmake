# SPDX-License-Identifier: Apache-2.0
# Fails when a manual page and its program's help disagree about the program's options.
#   cmake -DPROGRAM=<path> -DPAGE=<page.1> [-DHELP_ARGS=<a;b|c;d>] [-DREADME=<README.md>]
#         -P CheckManPage.cmake
# HELP_ARGS: the help calls whose options together make up the program's options, each call's
# arguments separated by ';', the calls by '|' (default: "--help"). A program with subcommands
# lists each subcommand's help call.
# README: also compare the exit-status table of the first help, the page's EXIT STATUS section
# and the README's "| exit status | meaning |" table, word for word.
cmake_minimum_required(VERSION 3.25)

foreach(var PROGRAM PAGE)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "CheckManPage: ${var} not given")
    endif()
endforeach()
if(NOT DEFINED HELP_ARGS OR HELP_ARGS STREQUAL "")
    set(HELP_ARGS "--help")
endif()

# The long options (--name) a text mentions, sorted, each once.
function(collect_options text out)
    string(REGEX MATCHALL "--[a-z][a-z0-9-]*" found "${text}")
    list(REMOVE_DUPLICATES found)
    list(SORT found)
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

set(help_text "")
string(REPLACE "|" ";" calls "${HELP_ARGS}")
foreach(call IN LISTS calls)
    string(REPLACE " " ";" args "${call}")
    execute_process(COMMAND "${PROGRAM}" ${args}
        OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc TIMEOUT 30)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${PROGRAM} ${call} failed (${rc}): ${err}")
    endif()
    string(APPEND help_text "${out}\n")
endforeach()

file(READ "${PAGE}" page_text)
# roff writes a minus as "\-"; comments are no part of the page.
string(REGEX REPLACE "(^|\n)\\.\\\\\"[^\n]*" "\\1" page_text "${page_text}")
string(REPLACE "\\-" "-" page_text "${page_text}")

collect_options("${help_text}" help_options)
collect_options("${page_text}" page_options)

set(missing ${help_options})
list(REMOVE_ITEM missing ${page_options})
set(extra ${page_options})
list(REMOVE_ITEM extra ${help_options})
if(missing OR extra)
    message(FATAL_ERROR "${PAGE} and the help of ${PROGRAM} disagree:\n"
        "  in the help, not on the page: ${missing}\n"
        "  on the page, not in the help: ${extra}")
endif()
list(LENGTH help_options count)
message(STATUS "${PAGE}: ${count} options, the same as the help")

# The words of an exit-status table: whitespace, periods, quotes, markup and table rules
# dropped, so that only the codes and their meanings are compared.
function(table_words text out)
    string(REGEX REPLACE "(^|\n)\.(TP|BR|B)" "\\1" text "${text}")
    string(REGEX REPLACE "[ \t\r\n.\"|`]" "" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

if(DEFINED README)
    list(GET calls 0 first_call)
    string(REPLACE " " ";" args "${first_call}")
    execute_process(COMMAND "${PROGRAM}" ${args} OUTPUT_VARIABLE first_help TIMEOUT 30)
    if(NOT first_help MATCHES "\nExit status:\n(.*)")
        message(FATAL_ERROR "${PROGRAM} ${first_call} prints no \"Exit status:\" table")
    endif()
    string(REGEX REPLACE "\n\n.*" "" help_table "${CMAKE_MATCH_1}")
    if(NOT page_text MATCHES "\n\.SH EXIT STATUS\n(.*)")
        message(FATAL_ERROR "${PAGE} has no EXIT STATUS section")
    endif()
    string(REGEX REPLACE "\n\.SH .*" "" page_table "${CMAKE_MATCH_1}")
    file(READ "${README}" readme_text)
    if(NOT readme_text MATCHES "\n\\| exit status \\| meaning \\|\n\\|---\\|---\\|\n(.*)")
        message(FATAL_ERROR "${README} has no exit-status table")
    endif()
    string(REGEX REPLACE "\n[^|].*" "" readme_table "${CMAKE_MATCH_1}")
    table_words("${help_table}" help_words)
    table_words("${page_table}" page_words)
    table_words("${readme_table}" readme_words)
    if(NOT help_words STREQUAL page_words OR NOT help_words STREQUAL readme_words)
        message(FATAL_ERROR "the exit-status tables disagree:\n"
            "  help:   ${help_words}\n  page:   ${page_words}\n  README: ${readme_words}")
    endif()
    message(STATUS "${PAGE}, ${README}: the help's exit-status table")
endif()

# The page itself must be clean roff.
find_program(GROFF groff)
if(GROFF)
    execute_process(COMMAND "${GROFF}" -man -ww -z -K utf8 "${PAGE}"
        ERROR_VARIABLE warnings RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0 OR NOT warnings STREQUAL "")
        message(FATAL_ERROR "groff reports on ${PAGE}:\n${warnings}")
    endif()
endif()
