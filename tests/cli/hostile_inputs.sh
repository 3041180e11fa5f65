#!/bin/sh
# Hostile inputs through the real program: hostile_inputs.sh CLI WORKDIR DATA CASE
# Each case prints the first line of every message and the exit code.
cli=$1 work=$2 data=$3
mkdir -p "$work" && cd "$work" || exit 1
run() { out=$(timeout 20 "$cli" "$@" 2>&1); rc=$?; printf '%s\n' "$out" | head -1; echo "rc=$rc"; }

case $4 in
not_regular)
  rm -rf f.tsd f.sdf f.csv dir.sdf o.sdf o.csv
  mkfifo f.tsd f.sdf f.csv && mkdir dir.sdf
  run series info f.tsd
  run series csv f.sdf
  run series convert f.tsd o.sdf
  run series export f.sdf -o o.csv
  run series upgrade f.sdf
  run series import f.csv -o o.sdf
  run shoal --method goda --profile f.csv
  run wave-height-series --input f.sdf -o o.sdf
  run series info dir.sdf
  ;;
counts)
  # 128 channels x 4,000,000 samples declared, newlines only.
  ones=$(seq 128 | sed 's/.*/1/' | paste -sd, -)
  { printf 'Time Series Data Text Format Ver.2\r\nm\r\n2024/01/01 00:00:00\r\n1 sec\r\n1\r\n0 sec\r\n128,0\r\n4000000\r\n'
    printf '%s\r\n%s\r\n%s\r\n%s\r\nNo.1\r\n' "$ones" "$ones" "$ones" "$ones"
    head -c 4000000 /dev/zero | tr '\0' '\n'; } > padded.tsd
  run series info padded.tsd
  # An SDF claiming 32,767 bursts of 500,000 x 2 samples, holding one.
  head -c 512 "$data/v4_two_channels.sdf" > claims.sdf
  printf '\040\241\007\000' | dd of=claims.sdf bs=1 seek=214 conv=notrunc 2>/dev/null
  printf '\377\177' | dd of=claims.sdf bs=1 seek=223 conv=notrunc 2>/dev/null
  head -c 2000000 /dev/zero >> claims.sdf
  rm -f claims.csv
  run series export claims.sdf -o claims.csv
  # A 200 KB field is named, not echoed.
  { printf 'Time Series Data Text Format Ver.2\r\nm\r\n2024/01/01 00:00:00\r\n1 sec\r\n1\r\n0 sec\r\n1,0\r\n2\r\n1\r\n0\r\nHs\r\nm\r\nNo.1\r\n1\r\n'
    head -c 200000 /dev/zero | tr '\0' x; printf '\r\n'; } > field.tsd
  "$cli" series csv field.tsd 2>&1 >/dev/null | wc -c | awk '{ print ($1 < 200 ? "short" : "long " $1) }'
  { printf 'time,a\n2024-01-01T00:00:00,'; head -c 200000 /dev/zero | tr '\0' x; printf '\n2024-01-01T00:00:01,1\n'; } > field.csv
  "$cli" series import field.csv -o o.sdf 2>&1 | wc -c | awk '{ print ($1 < 200 ? "short" : "long " $1) }'
  ;;
encoding)
  # A CP932 memo of half-width katakana that happens to be valid UTF-8 ("ﾃｲ" = C3 B2).
  printf 'Time Series Data Text Format Ver.2\r\n\303\262\r\n2024/01/01 00:00:00\r\n1 sec\r\n1\r\n0 sec\r\n1,0\r\n2\r\n1\r\n0\r\nHs\r\nm\r\nNo.1\r\n1\r\n2\r\n' > kana.tsd
  "$cli" series info kana.tsd | sed -n 2p
  ;;
options)
  printf 'time,Hs(m)\n2024-01-01T00:00:00,1.5\n2024-01-01T00:00:01,1.6\n' > scale.csv
  rm -f scale.tsd
  run series import scale.csv -o scale.tsd --scale Hs=1e39
  ls scale.tsd 2>/dev/null | wc -l
  run series export "$data/v4_two_channels.sdf" -o o.csv --burst -1
  run shoal --x-axis foo
  run shoal --h0 1 --h0 2
  run shoal --method all --display H
  run wave-height-series --input "$data/v4_two_channels.sdf" -o o.sdf --tp-channel 5
  run wave-velocity-series --wave-file "$data/v4_two_channels.sdf" --tide-file "$data/v4_two_channels.sdf" -o o.sdf --jobs 300 --method goda
  ;;
esac
