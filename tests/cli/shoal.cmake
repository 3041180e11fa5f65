# shoal: the shoaling window's report lines and chart points from the command line.
# Cases that check the exit code print it after the output.
set(shoal_data ${CMAKE_CURRENT_SOURCE_DIR}/data/shoaling)

add_test(NAME cli_shoal_default_inputs COMMAND ${ORVANE_CLI} shoal)
set_tests_properties(cli_shoal_default_inputs PROPERTIES PASS_REGULAR_EXPRESSION
  "^h = 6m \n  浅水係数 Ks =1\\.109、波高 H =3\\.083m（非砕波）\n  ﾗｼﾞｴｰｼｮﾝｽﾄﾚｽによる水位上昇η=-0\\.059m\nh = 4m \n  浅水係数 Ks =1\\.362、波高 H =3\\.786m（非砕波）\n  ﾗｼﾞｴｰｼｮﾝｽﾄﾚｽによる水位上昇η=-0\\.236m\nh = 2m \n  浅水係数 Ks =0\\.804、波高 H =2\\.235m（砕波）\n  ﾗｼﾞｴｰｼｮﾝｽﾄﾚｽによる水位上昇η=0\\.365m\n$")

# The same places typed as distances give the same waves; the points follow as CSV.
add_test(NAME cli_shoal_distance_mode_csv
  COMMAND ${ORVANE_CLI} shoal --x-axis distance --points 20,40,60 --onshore-end 1
          --offshore-end 100 --display H/H0 --csv)
set_tests_properties(cli_shoal_distance_mode_csv PROPERTIES PASS_REGULAR_EXPRESSION
  "^X = 60m \n  浅水係数 Ks =1\\.109、波高 H =3\\.083m（非砕波）\n.*X = 20m \n  浅水係数 Ks =0\\.804、波高 H =2\\.235m（砕波）\n.*\n離岸距離 x \\(m\\),H/H0\n99\\.75673,0\\.9567376\n")

# A run that computes nothing says why and fails, whatever the format.
add_test(NAME cli_shoal_zero_period_is_refused
  COMMAND sh -c "\"$0\" shoal --t0 0 --format json 2>&1; echo rc=$?; \"$0\" shoal --method all --t0 0 2>&1; echo rc=$?" ${ORVANE_CLI})
set_tests_properties(cli_shoal_zero_period_is_refused PROPERTIES PASS_REGULAR_EXPRESSION
  "^周期は0より大きくして下さい。\nrc=1\n周期は0より大きくして下さい。\nrc=1\n$")

add_test(NAME cli_shoal_flat_bed
  COMMAND sh -c "\"$0\" shoal --slope 0 2>&1; echo rc=$?" ${ORVANE_CLI})
set_tests_properties(cli_shoal_flat_bed PROPERTIES PASS_REGULAR_EXPRESSION
  "^海底勾配を0より大きくして下さい。\n計算を中止しました。\nrc=1\n$")

add_test(NAME cli_shoal_steep_slope
  COMMAND sh -c "\"$0\" shoal --slope 0.4 2>&1; echo rc=$?" ${ORVANE_CLI})
set_tests_properties(cli_shoal_steep_slope PROPERTIES PASS_REGULAR_EXPRESSION
  "^収束解が得られませんでした。\n海底勾配が大き過ぎることが\n原因の一つと考えられます。\n計算を中止しました。\nrc=1\n$")

# The observation point inside the display range: a question, refused without --yes.
add_test(NAME cli_shoal_question_refused
  COMMAND sh -c "\"$0\" shoal --method 2 --obs-depth 5 2>&1; echo rc=$?" ${ORVANE_CLI})
set_tests_properties(cli_shoal_question_refused PROPERTIES PASS_REGULAR_EXPRESSION
  "^観測点より沖側の領域は計算されません。よろしいですか。\n確認が必要.*\nrc=1\n$")

add_test(NAME cli_shoal_question_answered
  COMMAND sh -c "\"$0\" shoal --method 2 --obs-depth 5 --yes 2>/dev/null; echo rc=$?" ${ORVANE_CLI})
set_tests_properties(cli_shoal_question_answered PROPERTIES PASS_REGULAR_EXPRESSION
  "^h = 4m \n  rms波高 Hrms =[0-9.]+m\n  有義波高 Hs =[0-9.]+m\\(浅水係数 Ks =[0-9.]+\\)\nh = 2m \n.*rc=0\n$")

add_test(NAME cli_shoal_profile_regular_refused
  COMMAND sh -c "\"$0\" shoal --profile \"$1/beach.csv\" 2>&1; echo rc=$?" ${ORVANE_CLI} ${shoal_data})
set_tests_properties(cli_shoal_profile_regular_refused PROPERTIES PASS_REGULAR_EXPRESSION
  "^選択した計算方法は任意海底には適用できません。\n計算を中止しました。\nrc=1\n$")

add_test(NAME cli_shoal_profile_columns_by_name
  COMMAND sh -c "\"$0\" shoal --method 2 --obs-depth 400 --profile \"$1/beach.csv\" --distance-column distance --depth-column depth --points 50,150 --csv; echo rc=$?"
          ${ORVANE_CLI} ${shoal_data})
set_tests_properties(cli_shoal_profile_columns_by_name PROPERTIES PASS_REGULAR_EXPRESSION
  "^X = 150m \n  rms波高 Hrms =[0-9.]+m\n.*X = 50m \n.*離岸距離 x \\(m\\),Hrms \\(m\\)\n.*rc=0\n$")

add_test(NAME cli_shoal_help COMMAND ${ORVANE_CLI} shoal --help)
set_tests_properties(cli_shoal_help PROPERTIES PASS_REGULAR_EXPRESSION "--profile.*--points.*--csv")

# A period of hours: the breaking depth is searched once on a plane bed and one budget
# bounds every step and search of the run, so it ends at once with the budget's message.
add_test(NAME cli_shoal_regular_long_period_ends
  COMMAND sh -c "\"$0\" shoal --method 0 --t0 10000 2>&1; echo rc=$?" ${ORVANE_CLI})
set_tests_properties(cli_shoal_regular_long_period_ends PROPERTIES TIMEOUT 60 PASS_REGULAR_EXPRESSION
  "^計算点の数が上限を超えました。\n計算を中止しました。\nrc=1\n$")

# A profile saved as UTF-8 with a byte-order mark keeps its Japanese column names; one
# that neither UTF-8 nor CP932 can read is named by its line.
add_test(NAME cli_shoal_profile_utf8_names
  COMMAND sh -c "printf '\\357\\273\\277距離,水深\\r\\n0,0\\r\\n100,5\\r\\n200,10\\r\\n' > \"$1/u8.csv\"; printf 'a\\377,b\\n' > \"$1/bad.csv\"; \"$0\" --yes shoal --method 2 --obs-depth 200 --profile \"$1/u8.csv\" --distance-column 距離 --depth-column 水深 --points 50 | head -1; \"$0\" shoal --method 2 --obs-depth 150 --profile \"$1/bad.csv\" 2>&1; echo rc=$?"
          ${ORVANE_CLI} ${CMAKE_CURRENT_BINARY_DIR})
set_tests_properties(cli_shoal_profile_utf8_names PROPERTIES PASS_REGULAR_EXPRESSION
  "^X = 50m \n「[^」]*bad\\.csv」の 1 行目は UTF-8 としても CP932 \\(シフトJIS\\) としても読めません。\nrc=1\n$")

# Every model with the same inputs: the reports in method order, then the table with the
# spread of H / Hs between the models.
add_test(NAME cli_shoal_all_methods
  COMMAND sh -c "\"$0\" shoal --method all --obs-depth 8 --yes 2>/dev/null" ${ORVANE_CLI})
set_tests_properties(cli_shoal_all_methods PROPERTIES PASS_REGULAR_EXPRESSION
  "^【菅原・山本\\(1978\\)の規則波の変形モデル】\nh = 6m \n  浅水係数 Ks =1\\.109、.*【合田\\(1975\\)の不規則波の変形モデル】\nh = 6m \n  rms波高 Hrms =2\\.132m\n.*【Thornton and Guza（1983\\)の砕波変形モデル】\nh = 6m \n.*【Battjes and Stive\\(1985\\)の砕波変形モデル】\nh = 6m \n.*【モデルの比較】\nh \\(m\\)\t菅原・山本\\(1978\\) H \\(m\\)\t菅原・山本\\(1978\\) η \\(m\\)\t合田\\(1975\\) Hs \\(m\\)\t合田\\(1975\\) Hrms \\(m\\)\t合田\\(1975\\) η \\(m\\)\tThornton-Guza\\(1983\\) Hs \\(m\\)\tThornton-Guza\\(1983\\) Hrms \\(m\\)\tBattjes-Stive\\(1985\\) Hs \\(m\\)\tBattjes-Stive\\(1985\\) Hrms \\(m\\)\tBattjes-Stive\\(1985\\) η \\(m\\)\t波高の差 \\(m\\)\t波高の差 \\(%\\)\n6\t3\\.083\t.*\n2\t2\\.235\t0\\.365\t2\\.241\t1\\.689\t0\\.129\t1\\.271\t0\\.898\t1\\.978\t1\\.397\t0\\.133\t0\\.970\t50\\.2\n$")

# A profile that deepens shoreward: the regular model refuses any profile, Goda's this one;
# the other two still run and the command succeeds.
add_test(NAME cli_shoal_all_methods_refused
  COMMAND sh -c "printf 'x,h\\r\\n0,0\\r\\n100,6\\r\\n150,4\\r\\n400,20\\r\\n' > \"$1/bar.csv\" && \"$0\" shoal --method all --profile \"$1/bar.csv\" --obs-depth 300 --points 50,120 --yes 2>/dev/null; echo rc=$?"
          ${ORVANE_CLI} ${CMAKE_CURRENT_BINARY_DIR})
set_tests_properties(cli_shoal_all_methods_refused PROPERTIES PASS_REGULAR_EXPRESSION
  "^【菅原・山本\\(1978\\)の規則波の変形モデル】\n\\(適用外\\) 選択した計算方法は任意海底には適用できません。\n【合田\\(1975\\)の不規則波の変形モデル】\n\\(適用外\\) 選択した計算方法は逆勾配斜面には適用できません。\n【Thornton and Guza（1983\\)の砕波変形モデル】\nX = 120m \n.*【モデルの比較】\nX \\(m\\)\tThornton-Guza\\(1983\\) Hs \\(m\\)\tThornton-Guza\\(1983\\) Hrms \\(m\\)\tBattjes-Stive\\(1985\\) Hs \\(m\\)\tBattjes-Stive\\(1985\\) Hrms \\(m\\)\tBattjes-Stive\\(1985\\) η \\(m\\)\t波高の差 \\(m\\)\t波高の差 \\(%\\)\n120\t.*\n50\t.*\nrc=0\n$")

# Measured heights on the sample beach: the scores after the spread table, the best model
# marked; the fit of Thornton-Guza to them; a set no curve reaches is said so.
set(samples ${PROJECT_SOURCE_DIR}/examples/data)
add_test(NAME cli_shoal_observed_scores
  COMMAND ${ORVANE_CLI} shoal --method all --profile ${samples}/profile.csv --obs-depth 800 --h0 2
          --points 100,300,600 --observed ${samples}/gauges.csv --observed-setup-column 3 --yes)
set_tests_properties(cli_shoal_observed_scores PROPERTIES PASS_REGULAR_EXPRESSION
  "波高の差 \\(%\\)\n.*【測定値との比較】\n測定: [^\n]*gauges.csv \\(Hs 10 点、η 10 点\\)\n.*\nBattjes-Stive\\(1985\\)\tHs\t10\t0\t0\\.045\t0\\.060\t0\\.037\t0\\.997\t◎\n.*Battjes-Stive\\(1985\\)\tη\t10\t0\t")
add_test(NAME cli_shoal_fit_tg
  COMMAND ${ORVANE_CLI} shoal --fit-tg --profile ${samples}/profile.csv --obs-depth 800 --h0 2
          --points 100,300,600 --observed ${samples}/gauges.csv --yes)
set_tests_properties(cli_shoal_fit_tg PROPERTIES PASS_REGULAR_EXPRESSION
  "当てはめ前\t0\\.420\t1\\.540\t0\\.3402\n当てはめ後\t0\\.516\t1\\.127\t0\\.0179\n比較した点 10、曲線の範囲外 0、モデルの計算 [0-9]+ 回\n")
add_test(NAME cli_shoal_observed_out_of_reach
  COMMAND sh -c "printf 'h,Hs\\n40,2\\n' > \"$1/far.csv\" && \"$0\" shoal --method all --obs-depth 8 --observed \"$1/far.csv\" --yes 2>/dev/null | tail -1"
          ${ORVANE_CLI} ${CMAKE_CURRENT_BINARY_DIR})
set_tests_properties(cli_shoal_observed_out_of_reach PROPERTIES PASS_REGULAR_EXPRESSION
  "^測定点 1 点はどのモデルの曲線の範囲にもないため、比較できません")
