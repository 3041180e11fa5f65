# Hostile inputs: files that are not regular files, headers that claim more than the file
# holds, huge fields, ambiguous encodings, bad option values. The work is in hostile_inputs.sh.
set(hostile_run sh ${CMAKE_CURRENT_LIST_DIR}/hostile_inputs.sh ${ORVANE_CLI} ${CMAKE_CURRENT_BINARY_DIR}/cli_hostile
    ${CMAKE_CURRENT_SOURCE_DIR}/data/series)

# A FIFO is refused by every reader instead of waited on; a folder says it is one.
add_test(NAME cli_hostile_not_regular_files COMMAND ${hostile_run} not_regular)
set_tests_properties(cli_hostile_not_regular_files PROPERTIES PASS_REGULAR_EXPRESSION
  "^(「f\\.[a-z]+」は通常のファイルではありません[^\n]*\nrc=1\n){8}「dir\\.sdf」はフォルダです。[^\n]*\nrc=1\n$")

# Counts beyond the file's bytes are refused without the memory they ask for; a huge
# field is cut in the message.
add_test(NAME cli_hostile_header_counts_and_long_fields COMMAND ${hostile_run} counts)
set_tests_properties(cli_hostile_header_counts_and_long_fields PROPERTIES PASS_REGULAR_EXPRESSION
  "^フォーマットが違います。\nrc=1\n「claims\\.sdf」のデータを読み込めませんでした。\nrc=1\nshort\nshort\n$")

add_test(NAME cli_hostile_cp932_kana_memo COMMAND ${hostile_run} encoding)
set_tests_properties(cli_hostile_cp932_kana_memo PROPERTIES PASS_REGULAR_EXPRESSION "^メモ：ﾃｲ\n$")

# Bad option values: Japanese usage errors (exit 2) naming the option; a coefficient a
# file cannot hold is refused and nothing is written.
add_test(NAME cli_hostile_option_values COMMAND ${hostile_run} options)
set_tests_properties(cli_hostile_option_values PROPERTIES PASS_REGULAR_EXPRESSION
  "^--scale の「Hs」の係数 \\(A=1E39, B=0\\) は単精度の範囲[^\n]*\nrc=1\n0\n--burst: バーストは 1 から数えます[^\n]*\nrc=2\n--x-axis: 'foo' は使えません。使える値: depth \\| distance\nrc=2\n--h0 は 1 回までしか指定できません[^\n]*\nrc=2\n--display: --method all はすべての項目を描くので使えません。\nrc=2\n--tp-channel: '5' はチャンネルの項目名でも 1～2 の番号でもありません。\nrc=2\n--jobs: 0～256 にしてください[^\n]*\nrc=2\n$")
