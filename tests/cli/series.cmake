# series info | convert | csv over the hand-made fixtures. Cases that check the exit code
# print it after the output.
set(series_data ${CMAKE_CURRENT_SOURCE_DIR}/data/series)
set(series_work ${CMAKE_CURRENT_BINARY_DIR}/cli_series)
file(MAKE_DIRECTORY ${series_work})

add_test(NAME cli_series_info_sdf COMMAND ${ORVANE_CLI} series info ${series_data}/v4_two_channels.sdf)
set_tests_properties(cli_series_info_sdf PROPERTIES PASS_REGULAR_EXPRESSION
  "^形式：SDF Ver\\.4\nメモ：観測点A\n記録開始時刻：2003/08/14 12:00:00\nインターバル記録\n  計測回数：3\n  チャンネル数：2\n  計測時間間隔：500 msec\nバースト記録\n  リピート回数：2\n  チャンネル数：0\n  バースト時間間隔：1 hr\nChannel No,Item,Unit,A,B\n1,Hs,m,0\\.01,0\n2,Tide,m,0\\.001,0\n$")

add_test(NAME cli_series_info_tsd_v1 COMMAND ${ORVANE_CLI} series info ${series_data}/three_channels_v1.tsd)
set_tests_properties(cli_series_info_tsd_v1 PROPERTIES PASS_REGULAR_EXPRESSION
  "計測時間間隔：250 msec\n.*リピート回数：1\n.*\n3,Dir,deg,2,-1\n$")

# Reading never rewrites an old version, --yes or not; upgrade converts in place and says so.
add_test(NAME cli_series_old_version_read_and_upgrade
  COMMAND sh -c "cp \"$1\" \"$2\" && \"$0\" --yes series info \"$2\" | head -1 && \"$0\" --yes series csv \"$2\" | tail -1 && cmp \"$1\" \"$2\" && echo unchanged && \"$0\" series upgrade \"$2\" && cmp \"$2\" \"$3\" && \"$0\" series upgrade \"$2\""
          ${ORVANE_CLI} ${series_data}/v1_two_channels.sdf ${series_work}/old1.sdf ${series_data}/v4_two_channels.sdf)
set_tests_properties(cli_series_old_version_read_and_upgrade PROPERTIES PASS_REGULAR_EXPRESSION
  "^形式：SDF Ver\\.1\n2003/08/14 12:00:01,1,1\\.2,0\\.52\nunchanged\n「[^」]*」を SDF Ver\\.1 から Ver\\.4 に更新しました。\n「[^」]*」はすでに SDF Ver\\.4 です。ファイルは変更していません。\n$")

# The save rules on every output: never the input, never a folder, an existing file only with --yes.
add_test(NAME cli_series_output_rules
  COMMAND sh -c "cd \"$2\" && cp \"$1\" in.sdf && cp \"$1\" in.tsd && mkdir -p dir.csv && echo x > old.csv; for args in 'convert in.sdf in.sdf' 'convert in.tsd in.tsd' 'csv in.sdf -o dir.csv' 'csv in.sdf -o old.csv'; do \"$0\" series $args 2>&1; echo rc=$?; done; \"$0\" --yes series csv in.sdf -o old.csv && head -c 6 old.csv; echo; cmp in.sdf \"$1\" && echo intact"
          ${ORVANE_CLI} ${series_data}/v4_two_channels.sdf ${series_work})
set_tests_properties(cli_series_output_rules PROPERTIES PASS_REGULAR_EXPRESSION
  "^ロードしているSDFファイルは上書き出来ません。\nrc=1\nロードしているTSDファイルは上書き出来ません。\nrc=1\n「dir\\.csv」はフォルダです。[^\n]*\nrc=1\n同名のファイルが存在します。上書きしてよろしいですか。\n確認が必要なため中止しました[^\n]*\nrc=1\n同名のファイルが存在します。上書きしてよろしいですか。\n日時\nintact\n$")

# SDF -> TSD -> SDF gives both fixtures byte for byte.
add_test(NAME cli_series_convert_round_trip
  COMMAND sh -c "rm -f \"$3\" \"$4\"; \"$0\" series convert \"$1\" \"$3\" && cmp \"$3\" \"$2\" && \"$0\" series convert \"$3\" \"$4\" && cmp \"$4\" \"$1\" && echo same"
          ${ORVANE_CLI} ${series_data}/v4_two_channels.sdf ${series_data}/v4_two_channels.tsd
          ${series_work}/rt.tsd ${series_work}/rt.sdf)
set_tests_properties(cli_series_convert_round_trip PROPERTIES PASS_REGULAR_EXPRESSION "same\n$")

# A coefficient that 7 digits cannot hold is refused, and nothing is left behind.
add_test(NAME cli_series_convert_refuses_loss
  COMMAND sh -c "rm -f \"$2\"*; \"$0\" series convert \"$1\" \"$2\" 2>&1; echo rc=$?; ls \"$2\"* 2>/dev/null | wc -l"
          ${ORVANE_CLI} ${series_data}/fine_coefficient.sdf ${series_work}/loss.tsd)
set_tests_properties(cli_series_convert_refuses_loss PROPERTIES PASS_REGULAR_EXPRESSION
  "^チャンネル1の係数はTSDファイルの7桁表記では正確に保存できません。\nrc=1\n0\n$")

add_test(NAME cli_series_convert_bad_extension
  COMMAND sh -c "\"$0\" series convert \"$1\" out.txt 2>&1; echo rc=$?" ${ORVANE_CLI} ${series_data}/example_v2.tsd)
set_tests_properties(cli_series_convert_bad_extension PROPERTIES PASS_REGULAR_EXPRESSION
  "^出力ファイルの拡張子は \\.sdf か \\.tsd にしてください。\nrc=1\n$")

add_test(NAME cli_series_csv COMMAND ${ORVANE_CLI} series csv ${series_data}/v4_two_channels.sdf)
set_tests_properties(cli_series_csv PROPERTIES PASS_REGULAR_EXPRESSION
  "^日時,経過時間\\(s\\),Hs\\(m\\),Tide\\(m\\)\n2003/08/14 12:00:00,0,1\\.23,0\\.5\n2003/08/14 12:00:00,0\\.5,,0\\.512\n2003/08/14 12:00:01,1,1\\.2,0\\.52\n$")

add_test(NAME cli_series_not_a_series
  COMMAND sh -c "\"$0\" series info \"$1\" 2>&1; echo rc=$?" ${ORVANE_CLI} ${CMAKE_CURRENT_LIST_FILE})
set_tests_properties(cli_series_not_a_series PROPERTIES PASS_REGULAR_EXPRESSION
  "^フォーマットが違います。\n[^\n]*\nrc=1\n$")

add_test(NAME cli_series_help COMMAND ${ORVANE_CLI} series convert --help)
set_tests_properties(cli_series_help PROPERTIES PASS_REGULAR_EXPRESSION "IN.*OUT")

# export / import: SDF -> CSV -> SDF keeps the counts; netCDF read by xarray.
add_test(NAME cli_series_export_import_round_trip
  COMMAND sh -c "cd \"$2\" && rm -f rt1.csv rt1.sdf && \"$0\" series export \"$1\" -o rt1.csv --burst 1 && head -2 rt1.csv && \"$0\" series import rt1.csv -o rt1.sdf >/dev/null && \"$0\" series csv rt1.sdf > a.txt && \"$0\" series csv \"$1\" > b.txt && cmp a.txt b.txt && \"$0\" series info rt1.sdf | tail -2"
          ${ORVANE_CLI} ${series_data}/v4_two_channels.sdf ${series_work})
set_tests_properties(cli_series_export_import_round_trip PROPERTIES PASS_REGULAR_EXPRESSION
  "^time,Hs\\(m\\),Tide\\(m\\)\r\n2003-08-14T12:00:00\\.000,1\\.23,0\\.5\r\n1,Hs,m,0\\.01,0\n2,Tide,m,0\\.001,0\n$")

add_test(NAME cli_series_export_netcdf
  COMMAND sh -c "rm -f \"$2/x.nc\" && \"$0\" series export \"$1\" -o \"$2/x.nc\" --burst 1 --utc-offset +09:00 && /usr/bin/python3 \"$3\" \"$2/x.nc\""
          ${ORVANE_CLI} ${series_data}/v4_two_channels.sdf ${series_work} ${CMAKE_CURRENT_LIST_DIR}/check_netcdf.py)
set_tests_properties(cli_series_export_netcdf PROPERTIES PASS_REGULAR_EXPRESSION "^netcdf ok\n$")

# Bad inputs of import, each named; a BOM and a quoted name with a quote read fine.
add_test(NAME cli_series_import_inputs
  COMMAND sh -c "cd \"$1\" && printf '\\357\\273\\277時刻,\"波高 \"\"max\"\"(m)\",Tp(s)\\r\\n2020/01/01 00:00:00,1.5,8\\r\\n2020/01/01 00:20:00,,9.25\\r\\n2020/01/01 00:40:00,2,10\\r\\n' > q.csv && printf 'time,a\\n2020-01-01T00:00:00,1\\n2020-01-01T00:00:01,2\\n2020-01-01T00:00:03,3\\n' > u.csv && printf 'time,a,b\\n2020-01-01T00:00:00,1,2\\n2020-01-01T00:00:01,2\\n' > m.csv && printf 'time,a\\n2020-01-01T00:00:00,1\\n2020-01-01T00:00:01,100000.5\\n2020-01-01T00:00:02,-100000\\n' > f.csv; rm -f q.tsd; \"$0\" series import q.csv -o q.tsd | tail -2; sed -n 11p q.tsd | iconv -f CP932 -t UTF-8; for c in u.csv m.csv f.csv 'f.csv --scale a=1'; do \"$0\" series import $c -o o.sdf 2>&1; done; ls o.sdf 2>&1 | grep -c 'No such'"
          ${ORVANE_CLI} ${series_work})
set_tests_properties(cli_series_import_inputs PROPERTIES PASS_REGULAR_EXPRESSION
  "^  波高 \"max\": A=0\\.1, B=0\n  Tp: A=0\\.01, B=0\n波高 \"max\",Tp\r\n4行目の時刻の間隔が一定ではありません[^\n]*\n3行目の列の数 \\(2\\) が見出し \\(3\\) と違います。\n「a」の値 \\(-100000 ～ 100000\\.5\\) は分解能 0\\.1 では16ビットの整数に収まりません。[^\n]*\n3行目の「a」の値 100000\\.5 は係数 A=1, B=0 では16ビットの整数に収まりません。\n1\n$")

# Upgrades and exports side by side in one folder, and a netCDF of burst channels alone.
add_test(NAME cli_series_writers_side_by_side
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/cli/series_concurrent.py ${ORVANE_CLI} ${series_work}/side_by_side)
set_tests_properties(cli_series_writers_side_by_side PROPERTIES PASS_REGULAR_EXPRESSION "all sound" TIMEOUT 300)

# series csv reads back in (its 経過時間 column gives the 500 ms times) to the same output.
add_test(NAME cli_series_csv_imports_again
  COMMAND sh -c "cd \"$2\" && rm -f again.sdf && \"$0\" series csv \"$1\" > again.csv && \"$0\" series import again.csv -o again.sdf | head -1 && \"$0\" series csv again.sdf | cmp - again.csv && echo same"
          ${ORVANE_CLI} ${series_data}/v4_two_channels.sdf ${series_work})
set_tests_properties(cli_series_csv_imports_again PROPERTIES PASS_REGULAR_EXPRESSION
  "^again\\.csv → again\\.sdf \\(3 行, 2 チャンネル, 計測時間間隔 500 msec\\)\nsame\n$")

# Output that cannot be written is an error, never a silent success.
add_test(NAME cli_stdout_write_failure
  COMMAND sh -c "\"$0\" airy --depth 10 --period 8 --height 1 > /dev/full; echo rc=$?; \"$0\" series csv \"$1\" > /dev/full; echo rc=$?"
          ${ORVANE_CLI} ${series_data}/v4_two_channels.sdf)
set_tests_properties(cli_stdout_write_failure PROPERTIES PASS_REGULAR_EXPRESSION
  "^標準出力に書き込めませんでした。[^\n]*\n([^\n]*\n)?rc=1\n標準出力に書き込めませんでした。[^\n]*\n([^\n]*\n)?rc=1\n$")
