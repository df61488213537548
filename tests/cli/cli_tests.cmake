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
tessar_cli_test(demo_ssm ARGS demo
                PASS "answer: break into the debugger\n.*the handler was asked 2 times \\(the site is disabled now\\)\\.\n.*Caught the record of tools/demo\\(20\\)")

# tessar sort
tessar_cli_rc_test(sort_stdin "^\nItem1\nalpha 10\nalpha 2\nb\nitem10\nitem9\nitem9\nrc=0\n$" ARGS sort
                   STDIN ${CMAKE_CURRENT_SOURCE_DIR}/cli/sort_lines.txt)
tessar_cli_rc_test(sort_numeric "^\nItem1\nalpha 2\nalpha 10\nb\nitem9\nitem9\nitem10\nrc=0\n$"
                   ARGS sort -n ${CMAKE_CURRENT_SOURCE_DIR}/cli/sort_lines.txt)
tessar_cli_rc_test(sort_numeric_descending "^item10\nitem9\nitem9\nb\nalpha 10\nalpha 2\nItem1\n\nrc=0\n$"
                   ARGS sort -nr ${CMAKE_CURRENT_SOURCE_DIR}/cli/sort_lines.txt)
tessar_cli_rc_test(sort_two_files "^item10\nitem10\nb\nb\nrc=0\n$" ARGS sort -r --
                   ${CMAKE_CURRENT_SOURCE_DIR}/cli/sort_two.txt ${CMAKE_CURRENT_SOURCE_DIR}/cli/sort_two.txt)
tessar_cli_rc_test(sort_missing_file "cannot open '.*no_such_file'.*rc=2\n$"
                   ARGS sort ${CMAKE_CURRENT_SOURCE_DIR}/cli/no_such_file)
tessar_cli_rc_test(sort_unknown_option "unknown option '-x'.*rc=2\n$" ARGS sort -x)
tessar_cli_test(sort_help ARGS sort --help PASS "usage: tessar sort \\[-n\\] \\[-r\\] \\[FILE...\\]")
# Pattern commands: grep and subst over a small board listing.
set(REGEX_SAMPLE ${CMAKE_CURRENT_SOURCE_DIR}/data/regex/board.txt)
tessar_cli_test(grep_help ARGS grep --help PASS "usage: tessar grep")
tessar_cli_test(grep_prints_matching_lines ARGS grep "VIA :z" ${REGEX_SAMPLE}
                PASS "VIA 7 NET=VCC_CORE\nTRACK 3 from VIA 9 to PAD 14\n$" FAIL "PAD 12")
tessar_cli_test(grep_only_matching_with_numbers ARGS grep -on "(PAD|VIA) :z" ${REGEX_SAMPLE}
                PASS "^1:PAD 12\n2:VIA 7\n4:VIA 9\n4:PAD 14\n$")
tessar_cli_test(grep_counts ARGS grep -c ":n *mm" ${REGEX_SAMPLE} PASS "^1\n$")
tessar_cli_test(grep_reads_standard_input ARGS grep "^no" STDIN ${REGEX_SAMPLE}
                PASS "^no numbers here\n$")
tessar_cli_test(grep_no_match_fails ARGS grep "ZQX" ${REGEX_SAMPLE} WILL_FAIL)
tessar_cli_test(grep_bad_pattern_message ARGS grep "a)" ${REGEX_SAMPLE}
                PASS "pattern cannot be translated")
tessar_cli_test(grep_bad_pattern_fails ARGS grep "a)" ${REGEX_SAMPLE} WILL_FAIL)
tessar_cli_test(grep_missing_file_fails ARGS grep "a" ${REGEX_SAMPLE}.missing WILL_FAIL)
tessar_cli_test(subst_help ARGS subst --help PASS "usage: tessar subst")
tessar_cli_test(subst_replaces_all ARGS subst ":n" "N" ${REGEX_SAMPLE}
                PASS "^PAD N at X=Nmm Y=Nmm\nVIA N NET=VCC_CORE\nno numbers here\nTRACK N from VIA N to PAD N\n$")
tessar_cli_test(subst_counts_per_line ARGS subst -c 1 ":z" "#" ${REGEX_SAMPLE}
                PASS "^PAD # at X=1.25mm Y=-3.5mm\nVIA # NET=VCC_CORE\nno numbers here\nTRACK # from VIA 9 to PAD 14\n$")
tessar_cli_test(subst_reads_standard_input ARGS subst "x*" "-" STDIN ${REGEX_SAMPLE}
                PASS "^-P-A-D- -1-2")
tessar_cli_test(subst_bad_pattern_message ARGS subst "(ab" "x" ${REGEX_SAMPLE}
                PASS "pattern cannot be translated")
tessar_cli_test(subst_bad_pattern_fails ARGS subst "(ab" "x" ${REGEX_SAMPLE} WILL_FAIL)
tessar_cli_test(subst_bad_count_fails ARGS subst -c -1 "a" "b" ${REGEX_SAMPLE} WILL_FAIL)
tessar_cli_test(demo_patterns ARGS demo PASS ":n -> \\[12\\] \\[1.25\\] \\[-3.5\\] \\[7\\]")

# tessar units
tessar_cli_rc_test(units_table "^1 Millimeters is 1500000 base units:\n  Mils +39.37\n  Millimeters +1\n  Inches +0.03937\n  Microns +1000\nrc=0\n$"
                   ARGS units 1 --from mm)
tessar_cli_rc_test(units_upper_bound "^1066800000\nrc=0\n$" ARGS units 28 --from in --to base)
tessar_cli_rc_test(units_from_base "^1.00000\nrc=0\n$" ARGS units 1500000 --from base --to Millimeters --no-trim)
tessar_cli_rc_test(units_precision "^39.3701\nrc=0\n$" ARGS units 1 --from mm --to mil --precision 4)
tessar_cli_rc_test(units_off_board "'57' Inches is out of the board's range.*\nrc=2\n$" ARGS units 57 --from in)
tessar_cli_rc_test(units_left_over "characters left over after the number \\('mm'\\)\nrc=2\n$" ARGS units 1.5mm)
tessar_cli_rc_test(units_base_fraction "must be a whole number\nrc=2\n$" ARGS units 1.5 --from base)
tessar_cli_rc_test(units_unknown_unit "unknown unit 'yard'.*\nrc=2\n$" ARGS units 1 --to yard)
tessar_cli_rc_test(units_angle "^45.5 degrees is 81900000 angle units, shown as 45.500 degrees\nrc=0\n$"
                   ARGS units --angle 45.5 --no-trim)
tessar_cli_rc_test(units_angle_range "out of the 32-bit angle range.*\nrc=2\n$" ARGS units --angle 1193.0472)
tessar_cli_rc_test(units_no_value "give either one VALUE or --angle.*\nrc=2\n$" ARGS units)
tessar_cli_test(demo_units ARGS demo PASS "typed x '12.5': 33750000 base units\n  typed x '-1': refused")
# tessar mdb
set(TESSAR_MDB_OUT ${CMAKE_CURRENT_BINARY_DIR}/mdb_sample.mdb)
tessar_cli_rc_test(mdb_build "^rc=0\n$"
                   ARGS mdb build ${CMAKE_CURRENT_LIST_DIR}/mdb_sample.txt -o ${TESSAR_MDB_OUT})
set_tests_properties(cli_mdb_build PROPERTIES FIXTURES_SETUP mdb_binary)
tessar_cli_rc_test(mdb_build_errors
                   "mdb_errors.txt\\(2\\) : invalid line : \"abc\"\n[^\n]*mdb_errors.txt\\(3\\) : leading blanks are not allowed\nrc=1\n$"
                   ARGS mdb build ${CMAKE_CURRENT_LIST_DIR}/mdb_errors.txt
                        -o ${CMAKE_CURRENT_BINARY_DIR}/mdb_errors.mdb)
tessar_cli_rc_test(mdb_dump_text
                   "^section \\[\\] base 0 highest 0\nsection \\[Errors\\] base 2 highest 2\nsection \\[Warnings\\] base 6 highest 1\n-6\tWarnings\n-2\tErrors\n3\tDisk full\n4\tRetry\\? \n7\tLow\nrc=0\n$"
                   ARGS mdb dump ${CMAKE_CURRENT_LIST_DIR}/mdb_sample.txt)
tessar_cli_rc_test(mdb_dump_binary
                   "^section \\[Warnings\\] base 6 highest 1\nsection \\[Errors\\] base 2 highest 2\n-6\tWarnings\n-2\tErrors\n3\tDisk full\n4\tRetry\\? \n7\tLow\nrc=0\n$"
                   ARGS mdb dump ${TESSAR_MDB_OUT})
set_tests_properties(cli_mdb_dump_binary PROPERTIES FIXTURES_REQUIRED mdb_binary)
tessar_cli_rc_test(mdb_get_key "^Disk full\nrc=0\n$"
                   ARGS mdb get ${CMAKE_CURRENT_LIST_DIR}/mdb_sample.txt 3)
tessar_cli_rc_test(mdb_get_section "^Retry\\? \nrc=0\n$" ARGS mdb get ${TESSAR_MDB_OUT} errors 2)
set_tests_properties(cli_mdb_get_section PROPERTIES FIXTURES_REQUIRED mdb_binary)
tessar_cli_rc_test(mdb_get_missing "no message with key 99\nrc=1\n$"
                   ARGS mdb get ${CMAKE_CURRENT_LIST_DIR}/mdb_sample.txt 99)
tessar_cli_rc_test(mdb_get_no_section "no section \\[None\\]\nrc=1\n$"
                   ARGS mdb get ${CMAKE_CURRENT_LIST_DIR}/mdb_sample.txt None 1)
tessar_cli_rc_test(mdb_unreadable "cannot read '/nonexistent/m.mdb': No such file or directory\nrc=2\n$"
                   ARGS mdb dump /nonexistent/m.mdb)
tessar_cli_rc_test(mdb_bad_key "must be an integer [^\n]*\nrc=2\n$"
                   ARGS mdb get ${CMAKE_CURRENT_LIST_DIR}/mdb_sample.txt 3x)
tessar_cli_rc_test(mdb_help "usage: tessar mdb build TEXT-FILE -o OUT.mdb" ARGS mdb --help)
# tessar path
tessar_cli_rc_test(path_parts
    "^base path:          C:\nrelative directory: .work.sub.\nname:               plan\nextension:          .brd\nfull path:          C:.work.sub.plan.brd\n\nbase path:          \nrelative directory: /home/u/\nname:               \nextension:          .profile\nfull path:          /home/u/.profile\nrc=0\n$"
    ARGS path "C:\\work\\sub\\plan.brd" "/home/u/.profile")
tessar_cli_rc_test(path_json
    "^\\[\n  {\"path\": \"plan.\", \"base\": \"\", \"relative\": \"\", \"name\": \"plan\", \"extension\": \"\", \"full\": \"plan\"},\n  {\"path\": \"a.\\\\\\\\b\", \"base\": \"\", \"relative\": \"a.\\\\\\\\\", \"name\": \"b\", \"extension\": \"\", \"full\": \"a.\\\\\\\\b\"}\n\\]\nrc=0\n$"
    ARGS path --json plan. "a.\\b")
tessar_cli_rc_test(path_missing "missing PATH.*\nrc=2\n$" ARGS path)
tessar_cli_rc_test(path_unknown_option "unknown option '--xml'.*\nrc=2\n$" ARGS path --xml a)
tessar_cli_test(demo_paths ARGS demo PASS "/etc/boards.ini against /tmp/work stays rooted: /etc/boards.ini")
tessar_cli_test(demo_directories ARGS demo
                PASS "with a hook that allows overwriting: 1\n.*delete everything below the root: 1; files left: 0, subdirectories left: 0")

# tessar file
set(FILE_SAMPLE ${CMAKE_CURRENT_SOURCE_DIR}/cli/file_lines.txt)
tessar_cli_rc_test(file_lines "^8: PAD 12\r\n19: VIA 7 NET=VCC_CORE\n21: last line without end\nrc=0\n$"
                   ARGS file lines ${FILE_SAMPLE})
tessar_cli_rc_test(file_lines_in_pieces "^4: PAD \n4: 12\r\n4: VIA \n" ARGS file lines -m 5 ${FILE_SAMPLE})
tessar_cli_rc_test(file_length "^48\nrc=0\n$" ARGS file length ${FILE_SAMPLE})
tessar_cli_rc_test(file_missing "cannot open '.*no_such_file': No such file or directory\nrc=2\n$"
                   ARGS file lines ${CMAKE_CURRENT_SOURCE_DIR}/cli/no_such_file)
tessar_cli_rc_test(file_bad_action "unknown action frob\nrc=2\n$" ARGS file frob)
tessar_cli_test(file_help ARGS file --help PASS "usage: tessar file lines")
add_test(NAME cli_file_profile
         COMMAND sh -c "export TESSAR_PROFILE=\"$1\"; rm -f \"$1\"; \"$0\" file profile general editor 'ed -s' && \"$0\" file profile GENERAL Editor && \"$0\" file profile general missing"
                 $<TARGET_FILE:tessar> ${CMAKE_CURRENT_BINARY_DIR}/cli_profile/profile.ini)
set_tests_properties(cli_file_profile PROPERTIES PASS_REGULAR_EXPRESSION "^ed -s\n\n$" TIMEOUT 60 LABELS cli)
tessar_cli_test(demo_files ARGS demo
                PASS "The file now reads: \"placed U1\" \"routed NET_VCC\" \\(25 bytes\\)")
# tessar ring
tessar_cli_rc_test(ring_walks "^a.db = -\nb.db = a\na.geom = b\na.brt = c\nrc=0\n$"
                   ARGS ring "a:4 b:1 c:7" a.db b.db a.geom a.brt)
tessar_cli_rc_test(ring_barrier "^b.exclude=b: b:1 y:2 x:6\nx.exclude=x: b:1 y:2 / x:6\nrc=0\n$"
                   ARGS ring "b:1 y:2 x:6" b.exclude=b x.exclude=x)
tessar_cli_rc_test(ring_bytype "^a.bytype=1: links a>c b>c c>a\nrc=0\n$" ARGS ring "a:4 b:1 c:7" a.bytype=1)
tessar_cli_rc_test(ring_twice "node 'a' is given twice at position 5\nrc=2" ARGS ring "a:1 a:2")
tessar_cli_rc_test(ring_bad_type "type of node 'a' is not a number.*\nrc=2" ARGS ring "a:40000")
tessar_cli_rc_test(ring_unknown_word "unknown word 'up'\nrc=2" ARGS ring "a:1" a.up)
tessar_cli_rc_test(ring_self_include "a node cannot include itself\nrc=2" ARGS ring "a:1" a.include=a)
tessar_cli_rc_test(ring_help "usage: tessar ring.*rc=0" ARGS ring --help)
tessar_cli_test(demo_rings ARGS demo PASS "p.exclude=g: p:0 d:4 k:6 t:7 / g:1")
tessar_cli_test(demo_saved_handles ARGS demo PASS "nets renumbered by \\+100: 105 112")
# tessar value and the properties demo step
tessar_cli_rc_test(value_reads_strictly "^42: 42\n42x: Invalid integer\n-0: Invalid integer\n99999999999: 2147483647\nrc=1\n$"
                   ARGS value 42 42x -0 99999999999)
tessar_cli_rc_test(value_short_range "^70000: Value out of range.\n-32768: -32768\nrc=1\n$"
                   ARGS value -f %sd 70000 -32768)
tessar_cli_rc_test(value_all_accepted "^1.5e3: 1500\n 2 : 2\nrc=0\n$" ARGS value -f %f 1.5e3 " 2 ")
# (a rule with a square bracket would join the arguments of a CMake list)
tessar_cli_rc_test(value_validates "^0: Please enter a value within the \\(0.000000,10.000000\\) range.\n5: 5\nrc=1\n$"
                   ARGS value -v "(0,10)" 0 5)
tessar_cli_rc_test(value_bad_rule "invalid RULE '\\{0,1\\}'\nrc=2\n$" ARGS value -v "{0,1}" 3)
tessar_cli_rc_test(value_bad_format "unknown FORMAT '%x'.*rc=2\n$" ARGS value -f %x 1)
tessar_cli_rc_test(value_missing_text "missing TEXT.*rc=2\n$" ARGS value -f %d)
tessar_cli_test(demo_properties ARGS demo
                PASS "message: Please enter a value within the \\[0.000000,37500000.000000\\] range.\n.*stays empty.*property change \\(8\\)")

# tessar draw
tessar_cli_rc_test(draw_help "usage: tessar draw SCRIPT.*polyline X1 Y1 X2 Y2.*rc=0" ARGS draw --help)
tessar_cli_rc_test(draw_board "wrote .*draw_board.svg: 21 operations, [0-9]+ words, 800 x 615 pixels\nrc=0"
                   ARGS draw ${CMAKE_CURRENT_SOURCE_DIR}/cli/draw_board.txt -o ${CMAKE_CURRENT_BINARY_DIR}/draw_board.svg)
tessar_cli_rc_test(draw_stdin "wrote .*draw_stdin.svg: 21 operations.*rc=0"
                   STDIN ${CMAKE_CURRENT_SOURCE_DIR}/cli/draw_board.txt
                   ARGS draw - -o ${CMAKE_CURRENT_BINARY_DIR}/draw_stdin.svg)
tessar_cli_rc_test(draw_unknown_operation "draw_bad_operation.txt:3: unknown operation 'linee'\nrc=2"
                   ARGS draw ${CMAKE_CURRENT_SOURCE_DIR}/cli/draw_bad_operation.txt -o ${CMAKE_CURRENT_BINARY_DIR}/bad.svg)
tessar_cli_rc_test(draw_missing_argument "draw_bad_arguments.txt:1: usage: move LENGTH LENGTH\nrc=2"
                   ARGS draw ${CMAKE_CURRENT_SOURCE_DIR}/cli/draw_bad_arguments.txt -o ${CMAKE_CURRENT_BINARY_DIR}/bad.svg)
tessar_cli_rc_test(draw_bad_length "draw_bad_length.txt:1: '12.5' is not a length.*rc=2"
                   ARGS draw ${CMAKE_CURRENT_SOURCE_DIR}/cli/draw_bad_length.txt -o ${CMAKE_CURRENT_BINARY_DIR}/bad.svg)
tessar_cli_rc_test(draw_no_script "no SCRIPT given.*rc=2" ARGS draw)
tessar_cli_rc_test(draw_missing_file "rc=2" ARGS draw ${CMAKE_CURRENT_BINARY_DIR}/no-such-script.txt)
tessar_cli_rc_test(draw_unwritable "cannot write '/nonexistent-dir/x.svg'\nrc=2"
                   ARGS draw ${CMAKE_CURRENT_SOURCE_DIR}/cli/draw_board.txt -o /nonexistent-dir/x.svg)
tessar_cli_test(demo_draw ARGS demo PASS "Picture written to [^\n]*/tessar-demo.svg")
