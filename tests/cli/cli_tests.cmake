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
