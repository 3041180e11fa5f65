# --format json of every calculator parses, with the printed texts beside the numbers;
# shoal's csv holds only the chart's points; method names and numbers are the same.
add_test(NAME cli_format_json_parses
  COMMAND sh -c "for c in 'airy' 'wavenumber --period 8 --depth 10' 'rayleigh' 'bottom-velocity' 'bottom-velocity --method random' 'shoal --method goda'; do \"$0\" $c --format json | /usr/bin/python3 -c 'import json,sys; d=json.load(sys.stdin); v=d.get(\"values\") or {p: 0 for p in d[\"points\"][0]}; print(d[\"command\"], len(v), end=\" \")'; done; echo; \"$0\" wavenumber --period 8 --depth 10 --format json"
          ${ORVANE_CLI})
set_tests_properties(cli_format_json_parses PROPERTIES PASS_REGULAR_EXPRESSION
  "^airy 10 wavenumber 2 rayleigh 3 bottom-velocity 11 bottom-velocity 4 shoal 4 \n\\{\"command\": \"wavenumber\", \"values\": \\{\"k\": \\{\"value\": 0\\.0886411288224312[0-9]*, \"unit\": \"rad/m\", \"text\": \"0\\.08864113\"\\}, \"L\": \\{\"value\": 70\\.8834080821134[0-9]*, \"unit\": \"m\", \"text\": \"70\\.883\"\\}\\}, \"text\": \\[\"波数\\(rad/m\\)：0\\.08864113\", \"波長\\(m\\)：70\\.883\"\\]\\}\n$")

add_test(NAME cli_format_csv_and_methods
  COMMAND sh -c "\"$0\" shoal --method goda --format csv | head -2; \"$0\" shoal --method 1 > a.txt; \"$0\" shoal --method GODA > b.txt; cmp a.txt b.txt && echo same; \"$0\" shoal --method 2 2>&1; \"$0\" shoal --method 9 2>&1; \"$0\" bottom-velocity --method 1 --format csv | tail -1; cd \"$1\" && rm -f p.csv && \"$0\" shoal --method goda --points-csv p.csv >/dev/null && cat p.csv | head -2"
          ${ORVANE_CLI} ${CMAKE_CURRENT_BINARY_DIR})
set_tests_properties(cli_format_csv_and_methods PROPERTIES PASS_REGULAR_EXPRESSION
  "^水深 h \\(m\\),Hrms \\(m\\)\n9\\.31[0-9]*,1\\.89[0-9]*\nsame\n--obs-depth が必要です[^\n]*\n--method: '9' は使えません。使える値: 0 regular \\| 1 goda \\| 2 thornton-guza \\| 3 battjes-stive \\| all\n使い方は --help で表示されます。\nTp,10\\.75[0-9]*,s,\ndepth\\(m\\),distance\\(m\\),Hrms\\(m\\),setup\\(m\\)\r\n6,60,2\\.13[0-9]*,-0\\.025[0-9]*\r\n$")

# The comparison as JSON: every model, the spread at each point, and Goda's values the same
# doubles as its own run gives.
add_test(NAME cli_format_json_all_methods
  COMMAND sh -c "\"$0\" shoal --method goda --points 4,2 --format json > g.json && \"$0\" shoal --method all --points 4,2 --format json | /usr/bin/python3 -c 'import json,sys; d=json.load(sys.stdin); g=json.load(open(\"g.json\")); m=d[\"models\"]; print(len(m), len(d[\"spread\"]), [x[\"applies\"] for x in m], m[1][\"hrms\"] == [p[\"Hrms\"] for p in g[\"points\"]])'"
          ${ORVANE_CLI})
set_tests_properties(cli_format_json_all_methods PROPERTIES WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
  PASS_REGULAR_EXPRESSION "^4 2 \\[True, True, False, False\\] True\n$")
