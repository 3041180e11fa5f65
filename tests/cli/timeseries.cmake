# wave-velocity-series and wave-height-series on small TSD files written here.
set(ts_dir ${CMAKE_CURRENT_BINARY_DIR}/timeseries)
file(MAKE_DIRECTORY ${ts_dir})
function(ts_write name)
  list(JOIN ARGN "\r\n" text)
  file(WRITE ${ts_dir}/${name} "${text}\r\n")
endfunction()
set(ts_head "Time Series Data Text Format Ver.2" "cli test" "2003/08/14 10:00:00" "1 hr" "1" "0 sec")
ts_write(wave.tsd ${ts_head} "2,0" "3" "0.01,0.1" "0,0" "Hs,Ts" "m,s" "No.1" "1.5,8" "=,8" "2,9")
ts_write(tide.tsd ${ts_head} "1,0" "3" "0.001" "0" "Tide" "m" "No.1" "0.2" "0.4" "0.6")
ts_write(tide_late.tsd "Time Series Data Text Format Ver.2" "cli test" "2003/08/14 11:00:00" "1 hr" "1"
         "0 sec" "1,0" "1" "0.001" "0" "Tide" "m" "No.1" "0.2")
ts_write(meter.tsd ${ts_head} "3,0" "2" "0.001,0.001,0.01" "0,0,0" "Tide,Us,Tp" "m,m/s,s" "No.1"
         "0,1,10" "0,30,20")
file(WRITE ${ts_dir}/existing.tsd "keep me")
file(REMOVE ${ts_dir}/run.tsd ${ts_dir}/height.tsd)

set(ts_vel wave-velocity-series --wave-file ${ts_dir}/wave.tsd --slope 0.02 --points 4,2)

add_test(NAME cli_wave_velocity_series_help COMMAND ${ORVANE_CLI} wave-velocity-series --help)
set_tests_properties(cli_wave_velocity_series_help PROPERTIES PASS_REGULAR_EXPRESSION "--wave-file.*--jobs")

add_test(NAME cli_wave_velocity_series_run
  COMMAND ${ORVANE_CLI} --yes ${ts_vel} --tide-file ${ts_dir}/tide.tsd -o ${ts_dir}/run.tsd --copy-hs --umax --jobs 2)
set_tests_properties(cli_wave_velocity_series_run PROPERTIES
  PASS_REGULAR_EXPRESSION "計算は正常に終了しました。\n計算時間：[0-9][0-9]:[0-9][0-9]:[0-9][0-9]")

add_test(NAME cli_wave_velocity_series_regular_model_refused
  COMMAND ${ORVANE_CLI} ${ts_vel} --tide-file ${ts_dir}/tide.tsd -o ${ts_dir}/m0.tsd --method 0)
set_tests_properties(cli_wave_velocity_series_regular_model_refused PROPERTIES
  PASS_REGULAR_EXPRESSION "この計算方法は不規則波に適用できません。")

add_test(NAME cli_wave_velocity_series_start_times_differ
  COMMAND ${ORVANE_CLI} ${ts_vel} --tide-file ${ts_dir}/tide_late.tsd -o ${ts_dir}/late.tsd)
set_tests_properties(cli_wave_velocity_series_start_times_differ PROPERTIES
  PASS_REGULAR_EXPRESSION "計測開始時刻が異なります。")

add_test(NAME cli_wave_velocity_series_keeps_existing_file
  COMMAND ${ORVANE_CLI} ${ts_vel} --tide-file ${ts_dir}/tide.tsd -o ${ts_dir}/existing.tsd)
set_tests_properties(cli_wave_velocity_series_keeps_existing_file PROPERTIES
  PASS_REGULAR_EXPRESSION "同名のファイルが存在します。上書きしてよろしいですか。")

add_test(NAME cli_wave_velocity_series_unknown_channel
  COMMAND ${ORVANE_CLI} ${ts_vel} --tide-file ${ts_dir}/tide.tsd -o ${ts_dir}/ch.tsd --hs-channel Height)
set_tests_properties(cli_wave_velocity_series_unknown_channel PROPERTIES WILL_FAIL TRUE)

add_test(NAME cli_wave_height_series_run
  COMMAND ${ORVANE_CLI} --yes wave-height-series --input ${ts_dir}/meter.tsd -o ${ts_dir}/height.tsd
          --tide-channel Tide --us-channel "Us(m/s)" --tp-channel 3)
set_tests_properties(cli_wave_height_series_run PROPERTIES
  PASS_REGULAR_EXPRESSION "16ビットの範囲に収まらない波高 1 個を欠測値として保存しました。")

add_test(NAME cli_wave_height_series_help COMMAND ${ORVANE_CLI} wave-height-series --help)
set_tests_properties(cli_wave_height_series_help PROPERTIES PASS_REGULAR_EXPRESSION "--us-channel")

# A tide file of another extension is read as the wave file's kind, as in the window.
ts_write(tide.txt ${ts_head} "1,0" "3" "0.001" "0" "Tide" "m" "No.1" "0.2" "0.4" "0.6")
ts_write(no_interval.tsd ${ts_head} "0,1" "0" "1" "0" "B" "u" "No.1" "5")
file(REMOVE ${ts_dir}/txt_tide.tsd)
add_test(NAME cli_wave_velocity_series_tide_of_the_wave_files_kind
  COMMAND ${ORVANE_CLI} --yes ${ts_vel} --tide-file ${ts_dir}/tide.txt -o ${ts_dir}/txt_tide.tsd)
set_tests_properties(cli_wave_velocity_series_tide_of_the_wave_files_kind PROPERTIES
  PASS_REGULAR_EXPRESSION "計算は正常に終了しました。")
add_test(NAME cli_wave_velocity_series_no_interval_channels
  COMMAND ${ORVANE_CLI} wave-velocity-series --wave-file ${ts_dir}/no_interval.tsd --tide-file ${ts_dir}/tide.tsd
          -o ${ts_dir}/none.tsd)
set_tests_properties(cli_wave_velocity_series_no_interval_channels PROPERTIES
  PASS_REGULAR_EXPRESSION "インターバル記録のチャンネルがありません。")

# Ctrl-C and SIGTERM stop a long run on a terminal: exit 130 / 143, no output, no temporary.
if(ORVANE_PYTHON_FOUND OR EXISTS /usr/bin/python3)
  foreach(sig INT TERM)
    add_test(NAME cli_wave_velocity_series_interrupted_${sig}
      COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/cli/interrupt.py ${ORVANE_CLI}
              ${PROJECT_SOURCE_DIR}/scripts/synthetic-year.py ${ts_dir}/interrupt_${sig} ${sig})
    set_tests_properties(cli_wave_velocity_series_interrupted_${sig} PROPERTIES TIMEOUT 120)
  endforeach()
endif()

# With a profile the range is its extent unless an end is given, as in shoal and Python.
set(ts_samples ${PROJECT_SOURCE_DIR}/examples/data)
string(JOIN " " ts_profile wave-velocity-series --wave-file ${ts_samples}/offshore.tsd
       --tide-file ${ts_samples}/tide.tsd --profile ${ts_samples}/profile.csv --points 100,300)
add_test(NAME cli_wave_velocity_series_profile_extent
  COMMAND sh -c "\"$0\" --yes $1 -o \"$2/extent.tsd\" >/dev/null 2>&1 && \"$0\" --yes $1 --offshore-end 1000 -o \"$2/given.tsd\" >/dev/null 2>&1 && cmp \"$2/extent.tsd\" \"$2/given.tsd\" && echo same"
          ${ORVANE_CLI} "${ts_profile}" ${ts_dir})
set_tests_properties(cli_wave_velocity_series_profile_extent PROPERTIES PASS_REGULAR_EXPRESSION "^same\n$")
