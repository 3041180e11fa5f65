# airy and wavenumber: the printed digits are the window's.
add_test(NAME cli_airy_initial_inputs
  COMMAND ${ORVANE_CLI} airy --depth 10 --period 10 --height 1)
set_tests_properties(cli_airy_initial_inputs PROPERTIES PASS_REGULAR_EXPRESSION
  "波長\\(m\\)：92\\.356\n波速\\(m/s\\)：9\\.236\n群速度\\(m/s\\)：8\\.068\n浅水係数：0\\.983\nｴﾈﾙｷﾞｰﾌﾗｯｸｽ\\(Jm/s/m\\^2\\)：10137\n水平\\(m/s\\)：0\\.428\n鉛直\\(m/s\\)：0\\.000\n")

add_test(NAME cli_airy_surface_velocity
  COMMAND ${ORVANE_CLI} airy --depth 10 --period 10 --height 1 --bed-height 10)
set_tests_properties(cli_airy_surface_velocity PROPERTIES PASS_REGULAR_EXPRESSION
  "水平\\(m/s\\)：0\\.531\n鉛直\\(m/s\\)：0\\.314\n")

add_test(NAME cli_wavenumber
  COMMAND ${ORVANE_CLI} wavenumber --period 10 --depth 10)
set_tests_properties(cli_wavenumber PROPERTIES PASS_REGULAR_EXPRESSION
  "波数\\(rad/m\\)：0\\.06803237\n波長\\(m\\)：92\\.356\n")

# PASS_REGULAR_EXPRESSION ignores the exit code, so these print it after the output.
add_test(NAME cli_airy_conversion_error
  COMMAND sh -c "\"$0\" airy --depth abc 2>&1; echo rc=$?" ${ORVANE_CLI})
set_tests_properties(cli_airy_conversion_error PROPERTIES PASS_REGULAR_EXPRESSION
  "^--depth: 'abc' は浮動小数点数ではありません\n使い方は --help で表示されます。\nrc=2\n$")

add_test(NAME cli_wavenumber_zero_depth
  COMMAND sh -c "\"$0\" wavenumber --period 10 --depth 0 2>&1; echo rc=$?" ${ORVANE_CLI})
set_tests_properties(cli_wavenumber_zero_depth PROPERTIES PASS_REGULAR_EXPRESSION
  "^0 による浮動小数点数除算\nrc=1\n$")

add_test(NAME cli_wavenumber_bad_gravity
  COMMAND sh -c "\"$0\" wavenumber --period 10 --depth 10 --gravity 9,8 2>&1; echo rc=$?" ${ORVANE_CLI})
set_tests_properties(cli_wavenumber_bad_gravity PROPERTIES PASS_REGULAR_EXPRESSION
  "^--gravity: '9,8' は浮動小数点数ではありません\n使い方は --help で表示されます。\nrc=2\n$")

add_test(NAME cli_airy_usage_error
  COMMAND sh -c "\"$0\" airy --bogus 2>&1; echo rc=$?" ${ORVANE_CLI})
set_tests_properties(cli_airy_usage_error PROPERTIES PASS_REGULAR_EXPRESSION "rc=2\n$")

add_test(NAME cli_wavenumber_missing_option
  COMMAND sh -c "\"$0\" wavenumber --period 10 2>&1; echo rc=$?" ${ORVANE_CLI})
set_tests_properties(cli_wavenumber_missing_option PROPERTIES PASS_REGULAR_EXPRESSION "--depth.*rc=2\n$")

add_test(NAME cli_wave_help
  COMMAND sh -c "\"$0\" airy --help && \"$0\" wavenumber --help" ${ORVANE_CLI})
set_tests_properties(cli_wave_help PROPERTIES PASS_REGULAR_EXPRESSION "--bed-height.*--period.*--gamma-tg")
