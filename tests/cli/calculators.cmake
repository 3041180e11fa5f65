# rayleigh and bottom-velocity: the digits and texts of the windows' result boxes.
# Cases that check the exit code print it after the output (PASS_REGULAR_EXPRESSION
# ignores it otherwise).
add_test(NAME cli_rayleigh_initial_inputs COMMAND ${ORVANE_CLI} rayleigh)
set_tests_properties(cli_rayleigh_initial_inputs PROPERTIES PASS_REGULAR_EXPRESSION
  "^上側確率pの振幅Ap = 1\\.517427\n>Apの平均振幅 = 1\\.799806\n$")

add_test(NAME cli_rayleigh_examples
  COMMAND sh -c "for args in '2 0.1' '1 0.01' '1 0.5' '1 1'; do set -- \"$0\" $args; \"$1\" rayleigh --reference $2 --probability $3; done" ${ORVANE_CLI})
set_tests_properties(cli_rayleigh_examples PROPERTIES PASS_REGULAR_EXPRESSION
  "Ap = 3\\.034854\n>Apの平均振幅 = 3\\.599611\n.*Ap = 2\\.145966\n>Apの平均振幅 = 2\\.358827\n.*Ap = 0\\.8325546\n>Apの平均振幅 = 1\\.256243\n.*Ap = [0-9.]+E-11\n>Apの平均振幅 = 0\\.8862269\n$")

add_test(NAME cli_rayleigh_negative_probability
  COMMAND sh -c "\"$0\" rayleigh --probability -0.5 2>&1; echo rc=$?" ${ORVANE_CLI})
set_tests_properties(cli_rayleigh_negative_probability PROPERTIES TIMEOUT 20 PASS_REGULAR_EXPRESSION
  "^上側確率には0より大きく1以下の値を入力して下さい。\nrc=1\n$")

add_test(NAME cli_bottom_velocity_single COMMAND ${ORVANE_CLI} bottom-velocity)
set_tests_properties(cli_bottom_velocity_single PROPERTIES PASS_REGULAR_EXPRESSION
  "^微小振幅波理論による流速全振幅（最大流速）\n　①単純に求めた場合：3\\.918\\(1\\.959\\) m/s\n　②伝達関数を補正した場合Uac：3\\.213m/s\n\n磯部・堀川\\(1981\\)の式：\n　流速全振幅　　　　：3\\.619m/s\n　最大岸方向流速　　：2\\.900m/s\n　岸方向流速継続時間：1\\.99s\n$")

add_test(NAME cli_bottom_velocity_random
  COMMAND ${ORVANE_CLI} bottom-velocity --method random --depth 5 --period 10 --height 3)
set_tests_properties(cli_bottom_velocity_random PROPERTIES PASS_REGULAR_EXPRESSION
  "^有義流速振幅Us =1\\.904m/s\nrms流速振幅 Um =1\\.345m/s\nrms流速　　Urms =0\\.951m/s\n$")

add_test(NAME cli_bottom_velocity_negative_slope
  COMMAND sh -c "\"$0\" bottom-velocity --slope -0.01 2>&1; echo rc=$?" ${ORVANE_CLI})
set_tests_properties(cli_bottom_velocity_negative_slope PROPERTIES PASS_REGULAR_EXPRESSION
  "^不正な浮動小数点数演算命令\nrc=1\n$")

# A number option that is no number is a usage error naming the option, found while parsing.
add_test(NAME cli_bottom_velocity_conversion_order
  COMMAND sh -c "\"$0\" bottom-velocity --depth x --height y 2>&1; echo rc=$?" ${ORVANE_CLI})
set_tests_properties(cli_bottom_velocity_conversion_order PROPERTIES PASS_REGULAR_EXPRESSION
  "^--[a-z]+: '[xy]' は浮動小数点数ではありません\n使い方は --help で表示されます。\nrc=2\n$")

add_test(NAME cli_bottom_velocity_bad_method
  COMMAND sh -c "\"$0\" bottom-velocity --method wind 2>&1; echo rc=$?" ${ORVANE_CLI})
set_tests_properties(cli_bottom_velocity_bad_method PROPERTIES PASS_REGULAR_EXPRESSION "rc=2\n$")
