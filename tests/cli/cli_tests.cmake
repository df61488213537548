# Drives the tessar tool as a user does; each test checks the exit code and, where it matters,
# the output (PASS_REGULAR_EXPRESSION) or that an error was printed.
function(tessar_cli_test name)
    cmake_parse_arguments(CLI "WILL_FAIL" "PASS;FAIL;STDIN" "ARGS" ${ARGN})
    if(CLI_STDIN)
        add_test(NAME cli_${name}
                 COMMAND sh -c "\"$<TARGET_FILE:tessar>\" \"$@\" < \"${CLI_STDIN}\"" tessar ${CLI_ARGS})
    else()
        add_test(NAME cli_${name} COMMAND tessar ${CLI_ARGS})
    endif()
    if(CLI_PASS)
        set_tests_properties(cli_${name} PROPERTIES PASS_REGULAR_EXPRESSION "${CLI_PASS}")
    endif()
    if(CLI_FAIL)
        set_tests_properties(cli_${name} PROPERTIES FAIL_REGULAR_EXPRESSION "${CLI_FAIL}")
    endif()
    if(CLI_WILL_FAIL)
        set_tests_properties(cli_${name} PROPERTIES WILL_FAIL TRUE)
    endif()
    set_tests_properties(cli_${name} PROPERTIES TIMEOUT 60 LABELS cli)
endfunction()

tessar_cli_test(demo_runs ARGS demo PASS "Done: [0-9]+ steps")
tessar_cli_test(help_lists_commands ARGS --help PASS "demo")
tessar_cli_test(demo_help ARGS demo --help PASS "usage: tessar demo")
tessar_cli_test(no_command_fails WILL_FAIL)
tessar_cli_test(unknown_command_fails ARGS frobnicate WILL_FAIL)
tessar_cli_test(demo_events ARGS demo
                PASS "board view got code 3 for handle 7\n  status bar got code 3 for handle 7\n  layer list got code 3")
tessar_cli_test(demo_arrays ARGS demo
                PASS "original: 1 3 7 7 12\n.*the iterator still reads 12 \\(now at index 4\\)")
tessar_cli_test(demo_geometry ARGS demo PASS "minus the part.s box leaves 4 boxes")
tessar_cli_test(demo_collection ARGS demo
                PASS "view: deleting A9 from 2  -> C1 R1 A9\n  view: inserted A9 at 0  -> A9 C1 R1")

# Runs tessar through sh with stderr folded into stdout and the exit code appended as
# "rc=N", so that one PASS expression checks the text and the code together.
function(tessar_cli_rc_test name pass)
    cmake_parse_arguments(RC "" "STDIN" "ARGS" ${ARGN})
    set(input "")
    if(RC_STDIN)
        set(input "< \"${RC_STDIN}\"")
    endif()
    add_test(NAME cli_${name}
             COMMAND sh -c "\"$<TARGET_FILE:tessar>\" \"$@\" ${input} 2>&1; echo \"rc=$?\""
                     tessar ${RC_ARGS})
    set_tests_properties(cli_${name} PROPERTIES PASS_REGULAR_EXPRESSION "${pass}" TIMEOUT 60
                                                LABELS cli)
endfunction()

# tessar match
string(REPEAT "x" 300000 TESSAR_LONG_NAME)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/match_long_line.txt "${TESSAR_LONG_NAME}y\nU7\n")
tessar_cli_rc_test(match_found "^U1\nU10\nrc=0\n$" ARGS match "U*" U1 R2 U10)
tessar_cli_rc_test(match_none "^rc=1\n$" ARGS match "X*" U1 R2)
# (A lone "[" would stop CMake from splitting the argument list: the set is closed by
# an escaped "]" instead, which leaves it open for the matcher.)
tessar_cli_rc_test(match_invalid_pattern "invalid pattern 'x.*': a bracket set is not closed \\(code -3\\)\nrc=2"
                   ARGS match "x[\\]" x)
tessar_cli_rc_test(match_empty_set "code -4\\)\nrc=2" ARGS match "[]x")
tessar_cli_rc_test(match_missing_pattern "missing PATTERN.*rc=2" ARGS match)
tessar_cli_rc_test(match_stdin "^U1\nR20\nU10\nrc=0\n$" ARGS match "[RU]*"
                   STDIN ${CMAKE_CURRENT_SOURCE_DIR}/cli/match_names.txt)
tessar_cli_rc_test(match_stdin_none "^rc=1\n$" ARGS match "*.sch"
                   STDIN ${CMAKE_CURRENT_SOURCE_DIR}/cli/match_names.txt)
tessar_cli_rc_test(match_stdin_long_line "^x+y\nrc=0\n$" ARGS match "*y"
                   STDIN ${CMAKE_CURRENT_BINARY_DIR}/match_long_line.txt)
tessar_cli_rc_test(match_binary_input "rc=[01]\n$" ARGS match "*"
                   STDIN $<TARGET_FILE:tessar>)
tessar_cli_test(match_help ARGS match --help PASS "usage: tessar match PATTERN")
tessar_cli_test(demo_shows_strings ARGS demo PASS "Numeric-aware order: +C3 R20 R100 U1 U2 U10")
