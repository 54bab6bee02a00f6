#!/bin/bash
# The main job: puts the player into a fresh Wine prefix the way the installer
# places it, with a nature folder (chime bells as FLAC and WMA, a playlist
# with a missing entry) and a music folder named in its settings key. It lets
# it play the day forest, then works the board as a user would: the brook
# loud and far left, the wind, fly-bys and the guitar very often, a preview of
# each folder, rain and storm very often and a rain episode of 105 s; then the
# night forest (by the user's one hot key, Ctrl+Alt+N, typed while the board
# is hidden) with three fires on the right. It records what the player
# outputs to out/demo.wav, draws the rain's spectrogram to
# out/demo-spectrogram.png, photographs the shown board to out/board.png and,
# switched to each other language on the board, to out/board-ru.png and
# out/board-<module>.png, trims its memory, tests the alarm (out/alarm.png;
# the recording ends with it), ends it with its Exit button, starts it once
# more to photograph what its settings kept (out/board-before-exit.png,
# out/board-restart.png) and reports the recording stretch by stretch, the
# mix, and the player's load and speed. Runs itself again inside
# with-display.sh, which owns the private X server and PulseAudio null sink.
#
# Expects a finished build: the banks in $OVEL_DIST (dist), the programs of
# the Windows tree it plays, the shipped 32-bit build/win32 where this host
# can start 32-bit programs, else build/win64. Runs side by side keep apart
# with their own $OVEL_OUT (out) and $OVEL_WORK (build/demo); $OVEL_DEMO_TREE
# plays the build of another tree.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ -z "${OVEL_DEMO_INSIDE:-}" ]; then
  OVEL_DEMO_INSIDE=1 exec scripts/with-display.sh "$0" "$@"
fi

dist=${OVEL_DIST:-dist}
if [ -n "${OVEL_DEMO_TREE:-}" ]; then
  tree=$OVEL_DEMO_TREE
  build_played="the build of $tree, as asked"
elif why32=$(scripts/wine-probe.sh build/win32); then
  tree=build/win32
  build_played="the shipped 32-bit build (build/win32)"
else
  tree=build/win64
  build_played="the 64-bit build (build/win64): $why32"
fi
. "$tree/tree.env"
programs=$OVEL_PROGRAM_DIR
out=${OVEL_OUT:-out}
work=${OVEL_WORK:-build/demo}
prefix="$root/$work/prefix"
program_folder="$prefix/drive_c/Program Files/Ovel"
player_path='C:\Program Files\Ovel\Ovel.exe'
driver="$tree/tools/boarddriver/boarddriver.exe"
settings_bench="$tree/bench/settings/SettingsBench.exe"
listing_bench="$tree/bench/board/FolderListingBench.exe"
cost_bench="$tree/bench/soundscape/SoundscapeCost.exe"
tone_bench="$tree/bench/output/OutputCost.exe"
bankmaker=build/native/tools/bankmaker/bankmaker
plugin_bench=build/native/bench/audio/PluginDecodeBench
url_bench=build/native/bench/audio/UrlStreamMemory
settings_key='HKCU\Software\Tamlin\Ovel'
raw="$work/demo.raw"
player_log="$work/player.log"  # the first start's debug strings
stretches="$work/stretches.txt"  # name, first and last second in the recording
nature_folder="$prefix/drive_c/Ovel demo/Nature"
music_folder="$prefix/drive_c/Ovel demo/Music"
nature_path='C:\Ovel demo\Nature'
music_path='C:\Ovel demo\Music'

rate=44100
bytes_per_second=$((rate * 2 * 2))
board_wait_seconds=60
settle_seconds=5        # the start's own work, before the load is measured
load_seconds=30         # day forest, measured
tone_seconds=$((settle_seconds + load_seconds + 2))  # a tone alone, measured as the forest is
day_rest_seconds=5
night_hot_key=0xC04E    # Ctrl+Alt+N, as a shortcut word
scene_wait_seconds=10
exit_wait_seconds=30
language_settle_seconds=0.2  # the screen takes the board's new drawing
layers_seconds=30       # the day with every layer
brook_seconds=10
brook_level=90
brook_default_level=10
fly_by_level=80         # the fly-bys' and the folders' levels, taken hold of for a preview
folder_level=70
very_often=3            # item of the rarity and rain lists
rain_seconds=105        # the first thunder comes by 100.2 s
forest_back_seconds=12  # the rain's stop fades, waits, and the forest comes back
spectrogram_around=10   # seconds of the forest before and after the rain
fires_seconds=30
pad_left=0              # a marker's place on its 32 x 32 reach: far left and far right
pad_right=32
pad_middle=16
three_fires=2           # bonfire intensity
fire_nearness=90
trim_settle_seconds=2
alarm_seconds=40        # the built-in alarm reaches its third, loudest group
alarm_wait_seconds=10
quiet_seconds=3         # the output's queue played out before the alarm
silence_floor_db=-60    # a recording quieter than this counts as silent
one_sample_percent=0.002  # below one step of 16 bits: any sample not zero is above it

export WINEPREFIX="$prefix"
. cmake/wine-env.sh
# Wine's stream holds as much as the library queues, as in the output tests.
export PULSE_LATENCY_MSEC=400

say() { echo "demo: $*"; }
die() { echo "demo: $*" >&2; exit 1; }

parec_pid=""
player_pid=""
cleanup() {
  [ -n "$player_pid" ] && kill "$player_pid" 2>/dev/null
  [ -n "$parec_pid" ] && kill "$parec_pid" 2>/dev/null
  "$WINESERVER" -k 2>/dev/null || true
  wait 2>/dev/null || true
}
trap cleanup EXIT

check_build() {
  for f in "$programs"/Ovel.exe "$programs"/bass.dll "$programs"/bassmix.dll "$dist"/ovda.3bs \
           "$bankmaker" "$plugin_bench" "$url_bench" "$listing_bench" "$cost_bench" "$tone_bench"; do
    [ -f "$f" ] || die "$f is missing: build first (make)"
  done
  [ -f "$driver" ] || die "$driver is missing: build the Windows tree first (make)"
  [ -f "$settings_bench" ] || die "$settings_bench is missing: build the Windows tree first (make)"
}

make_prefix() {
  say "fresh Wine prefix in $work/prefix"
  rm -rf "$prefix"
  mkdir -p "$prefix" "$out"
  "$WINELOADER" wineboot -i >/dev/null 2>&1
  # Chinese, kana and Hangul for the board's fonts, as Windows links its own
  # East Asian fonts: the language list shows every name in the default set.
  "$WINELOADER" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v Tahoma /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
  "$WINESERVER" -w
  # Kept up, so the player's start does not pay for the server's.
  "$WINESERVER" -p
}

# The program folder as the installer fills it.
place_programs() {
  mkdir -p "$program_folder/language"
  cp "$programs/Ovel.exe" "$programs/bass.dll" "$programs/bassmix.dll" "$program_folder/"
  cp "$programs/bassflac.dll" "$programs/basswma.dll" "$programs/basswv.dll" "$program_folder/"
  cp "$dist"/*.3bs "$dist"/*.cok "$dist"/*.ics "$program_folder/"
  cp language/*.lng "$program_folder/language/"
}

drive() { "$WINELOADER" "$driver" "$@"; }

# Sounds of the demo's own banks, as a user's files would hold them.
extract_clips() {
  rm -rf "$work/clips/$1"
  "$bankmaker" extract "$dist/$1" "$work/clips/$1" >/dev/null || die "cannot extract $1"
}

# The nature folder: two chime bells, as FLAC and as WMA made by the
# system's encoders, and a playlist whose first entry is missing. The music
# folder: two flute pieces as they are stored.
make_user_folders() {
  local bells="$work/clips/ovch.ics" flutes="$work/clips/ovfl.cok"
  extract_clips ovch.ics
  extract_clips ovfl.cok
  mkdir -p "$nature_folder" "$music_folder"
  sox "$bells/ovch-025.ogg" -c 2 "$work/bell.wav"
  flac --silent -f -o "$nature_folder/bell.flac" "$work/bell.wav"
  sox "$bells/ovch-026.ogg" -c 2 "$work/bell.wav"
  ffmpeg -loglevel error -y -i "$work/bell.wav" -c:a wmav2 "$nature_folder/bell.wma"
  printf '#EXTM3U\r\nmissing bell.flac\r\nbell.wma\r\n' >"$nature_folder/bells.m3u8"
  cp "$flutes/ovfl-000.ogg" "$music_folder/flute.ogg"
  sox "$flutes/ovfl-002.ogg" "$music_folder/flute.wav"
}

set_folder_paths() {
  "$WINELOADER" reg add "$settings_key" /v NatureFolderDFPath /t REG_SZ /d "$nature_path" /f >/dev/null 2>&1
  "$WINELOADER" reg add "$settings_key" /v MusicFolderDFPath /t REG_SZ /d "$music_path" /f >/dev/null 2>&1
}

seconds_recorded() { awk -v b="$(recorded_bytes)" -v bps="$bytes_per_second" 'BEGIN { printf "%.2f", b / bps }'; }

# A stretch of the recording, from the mark given to now.
note_stretch() { echo "$1 $2 $(seconds_recorded)" >>"$stretches"; }

# What the hot-key editor stores for a user who gives the night forest a key.
give_night_hot_key() {
  local key='HKCU\Software\Tamlin\Ovel'
  "$WINELOADER" reg add "$key" /v UseHotKeys /t REG_DWORD /d 1 /f >/dev/null 2>&1
  "$WINELOADER" reg add "$key" /v NightForestSC /t REG_DWORD /d $((night_hot_key)) /f >/dev/null 2>&1
}

start_recording() {
  rm -f "$raw"
  parec -d ovel_null.monitor --raw --format=s16le --rate=$rate --channels=2 --latency-msec=20 >"$raw" &
  parec_pid=$!
  for _ in $(seq 100); do
    [ -s "$raw" ] && return
    sleep 0.1
  done
  die "the recorder does not record"
}

recorded_bytes() { stat -c %s "$raw"; }

# The loader execs itself, so the started process is the one that runs the
# player. Its debug strings go to the file given.
start_player() {
  (cd "$program_folder" && WINEDEBUG=-all,warn+debugstr exec "$WINELOADER" "$player_path") 2>"$1" &
  player_pid=$!
  drive wait "$board_wait_seconds" || die "the player did not come up"
  tr '\0' ' ' <"/proc/$player_pid/cmdline" | grep -q 'Ovel\.exe' ||
    die "process $player_pid does not run Ovel.exe"
}

# utime + stime of the player's process, in clock ticks.
cpu_ticks() { sed 's/.*) //' "/proc/$player_pid/stat" | awk '{ print $12 + $13 }'; }

now() { date +%s.%N; }

resident() { awk '/^VmRSS:/ { print $2 }' "/proc/$player_pid/status"; }

# The player's CPU over the seconds given, in cpu_percent of one core.
cpu_measure() {
  local ticks0 ticks1 t0 t1
  ticks0=$(cpu_ticks); t0=$(now)
  sleep "$1"
  ticks1=$(cpu_ticks); t1=$(now)
  cpu_percent=$(awk -v d=$((ticks1 - ticks0)) -v hz="$(getconf CLK_TCK)" -v t0="$t0" -v t1="$t1" \
    'BEGIN { printf "%.2f", 100 * d / hz / (t1 - t0) }')
}

private_memory() {
  awk '/^Private_(Clean|Dirty):/ { sum += $2 } END { print sum + 0 }' "/proc/$player_pid/smaps_rollup" 2>/dev/null ||
    echo "?"
}

# Private memory by where it lies: our program's files, Wine's and the
# system's libraries and fonts, and anonymous memory (every heap: ours and
# Wine's). Linux counts a file's pages that only this process has read as
# private; Windows counts as private bytes only anonymous memory and the pages
# of files the process wrote, given last.
private_by_kind() {
  awk '/^[0-9a-f]+-[0-9a-f]+ / {
         name = $0; for (i = 1; i <= 5; i++) sub(/^[^ ]+ +/, "", name)
         kind = (name == "" || name ~ /^\[/) ? "anonymous" : (name ~ /\/Program Files\/Ovel\// ? "ours" : "libraries")
       }
       /^Private_(Clean|Dirty):/ { kb[kind] += $2 }
       /^Private_Dirty:/ { if (kind != "anonymous") written += $2 }
       END { printf "anonymous %d kB, our program files %d kB, Wine'"'"'s and the system'"'"'s libraries and fonts %d kB;" \
                    " about %d kB as Windows counts private bytes",
                    kb["anonymous"], kb["ours"], kb["libraries"], kb["anonymous"] + written }' "/proc/$player_pid/smaps"
}

measure_load() {
  cpu_measure "$load_seconds"
  load_cpu_percent=$cpu_percent
  resident_kb=$(resident)
  private_kb=$(private_memory)
  private_kinds=$(private_by_kind)
}

# What Wine's sound path costs by itself: a program that does nothing but play
# a tone through the library, measured as the day forest was (the player has
# ended). Whatever the player costs beyond it is the player's own.
measure_tone_alone() {
  "$WINELOADER" "$tone_bench" library "$tone_seconds" >/dev/null 2>&1 &
  player_pid=$!
  sleep "$settle_seconds"
  cpu_measure "$load_seconds"
  tone_cpu_percent=$cpu_percent
  tone_private_kb=$(private_memory)
  tone_private_kinds=$(private_by_kind)
  wait "$player_pid" || die "the tone alone did not play"
  player_pid=""
}

wait_for_player_end() {
  for _ in $(seq $((exit_wait_seconds * 10))); do
    kill -0 "$player_pid" 2>/dev/null || { wait "$player_pid" || true; player_pid=""; return; }
    sleep 0.1
  done
  die "the player did not end after Exit"
}

stop_recording() {
  kill "$parec_pid"
  wait "$parec_pid" 2>/dev/null || true
  parec_pid=""
  sox -t raw -r $rate -e signed -b 16 -c 2 "$raw" "$out/demo.wav"
}

# Ones in a number, odd or not.
odd_ones() {
  local bits=$1 odd=0
  while [ "$bits" -ne 0 ]; do
    bits=$((bits & (bits - 1)))
    odd=$((1 - odd))
  done
  [ "$odd" -eq 1 ]
}

# A packed word: each of its four groups with its parity bit holds an odd number of ones.
parity_ok() {
  local word=$(($1)) group
  for group in "0xFF 31" "0xFF00 30" "0xFF0000 29" "0x0F000000 28"; do
    set -- $group
    odd_ones $(((word & $1) | (word & (1 << $2)))) || return 1
  done
}

# What the player left in its settings key, as the system's reg shows it.
show_settings_key() {
  local name type value words=0 good=0
  "$WINELOADER" reg query "$settings_key" 2>/dev/null | tr -d '\r' >"$out/settings.txt" || true
  [ -s "$out/settings.txt" ] || die "the settings key is empty"
  while read -r name type value; do
    case "$name" in
      C1 | C5 | C6 | C7 | D1 | D2 | D70 | D71 | D72 | N1 | N2 | N70 | N71 | N7F) ;;
      *) continue ;;
    esac
    [ "$type" = REG_DWORD ] || die "packed word $name is stored as $type"
    words=$((words + 1))
    parity_ok "$value" && good=$((good + 1))
  done <"$out/settings.txt"
  settings_words="$words packed words, $good of them passing parity"
  [ "$words" -eq 14 ] && [ "$good" -eq 14 ] || die "settings key: $settings_words"
}

# The board's settings load and save, timed on the player's own start.
time_settings() {
  cp "$settings_bench" "$program_folder/"
  settings_times=$(cd "$program_folder" && "$WINELOADER" SettingsBench.exe 2>/dev/null | tr -d '\r') ||
    die "the settings could not be timed"
  rm -f "$program_folder/SettingsBench.exe"
}

# The screen cut down to the board's window.
photograph_board() { import -window root -crop "$board_rect" +repage "$1"; }

# The shown board, photographed to the file given once it is drawn whole.
screenshot_board() {
  drive show
  board_rect=$(drive rect | tr -d '\r')
  photograph_board "$1"
}

# A second start: its board, in the scene the first closed in, shows what the
# settings kept.
restart_and_screenshot() {
  start_player /dev/null
  sleep "$settle_seconds"
  drive scene 1
  screenshot_board "$out/board-restart.png"
  drive exit
  wait_for_player_end
}

# The shown board in each language but English, picked on the board as a
# user picks it; the Russian one is board-ru.png.
screenshot_languages() {
  local module stem name
  languages_shot=0
  for module in language/*.lng; do
    stem=$(basename "$module" .lng)
    case "$stem" in
      *'!'*|english) continue ;;
      russian) name=ru ;;
      *) name=$stem ;;
    esac
    drive language "$stem.lng"
    sleep "$language_settle_seconds"
    photograph_board "$out/board-$name.png"
    languages_shot=$((languages_shot + 1))
  done
}

# A folder of 10,000 files listed as the board lists one, under Wine.
time_listing() {
  listing_time=$("$WINELOADER" "$listing_bench" 2>/dev/null | tr -d '\r') || die "the listing could not be timed"
}

# The CPU of our own threads by day and with every layer on, apart from
# Wine's, on the board the bench makes (the player has ended).
measure_our_threads() {
  our_threads=$(WINEPATH="$program_folder" "$WINELOADER" "$cost_bench" 2>/dev/null | tr -d '\r' |
    grep '% of one core') || die "our threads' CPU could not be measured"
}

# The plug-ins' decoding speed and an hour of an address stream, on this host.
measure_natively() {
  decode_speeds=$("$plugin_bench" --benchmark_min_time=0.5s 2>/dev/null |
    awk '{ for (i = 1; i <= NF; i++) if (sub("^realtime=", "", $i)) printf "%s %.0fx, ", $1, $i * ($i ~ /k/ ? 1000 : 1) }')
  url_memory=$("$url_bench") || die "the address stream stopped"
}

# The rain episode with the forest before and after it.
draw_spectrogram() {
  local first last
  read -r first last <<<"$(awk -v around="$spectrogram_around" '$1 == "rain" { print $2 - around, $3 + around }' \
    "$stretches")"
  sox "$out/demo.wav" -n trim "$first" "=$last" remix - \
    spectrogram -x 1800 -y 513 -z 90 -t "Ovel demo: the day forest, rain with thunder ($first to $last s)" \
    -o "$out/demo-spectrogram.png"
}

# The beds, as their banks hold them, for the mix's check for digital silence.
bed_clip_folders() {
  local bank
  for bank in ovda.3bs ovna.3bs oves.3bs ovef.3bs ovel.3bs; do
    extract_clips "$bank"
    echo "$work/clips/$bank"
  done
}

# A row of sox stats: overall, left, right.
stats_row() { sox "$out/demo.wav" -n stats 2>&1 | awk -v row="$1" 'index($0, row) == 1 { print $(NF-2), $(NF-1), $NF }'; }

# Seconds into the recording where it first rises above the threshold.
sound_from() {
  sox "$out/demo.wav" -n silence 1 0 "$1" stat 2>&1 |
    awk -v total="$(soxi -D "$out/demo.wav")" '/^Length/ { print total - $3 }'
}

# What the player's debug strings say of its first start: the loader's time
# before WinMain and the output's underruns, summed over its openings.
read_player_log() {
  loader_ms=$(sed -n 's/.*ovel: WinMain \([0-9]*\) ms after the process start.*/\1/p' "$player_log" | head -n 1)
  [ -n "$loader_ms" ] || die "the player did not report its WinMain ($player_log)"
  underruns=$(sed -n 's/.*ovel audio: \([0-9]*\) underruns.*/\1/p' "$player_log" | awk '{ n += $1 } END { print n + 0 }')
  grep -q 'ovel audio: [0-9]* underruns' "$player_log" || die "the output reported no underrun count ($player_log)"
}

report() {
  local length rms peak first_sound first_sample
  length=$(soxi -D "$out/demo.wav")
  read -r rms rms_left rms_right <<<"$(stats_row 'RMS lev dB')"
  read -r peak _ _ <<<"$(stats_row 'Pk lev dB')"
  # The first sound: what is left once the leading silence is cut.
  first_sound=$(sound_from "${silence_floor_db}d")
  first_sample=$(sound_from "${one_sample_percent}%")
  echo
  echo "Played:     $build_played"
  echo "Recording:  $root/$out/demo.wav"
  echo "Board:      $root/$out/board.png"
  echo "Languages:  $root/$out/board-ru.png and $((languages_shot - 1)) more, $root/$out/board-<module>.png"
  echo "Restart:    $root/$out/board-before-exit.png before Exit, $root/$out/board-restart.png after a second start"
  printf 'Length:     %.1f s\n' "$length"
  echo "Level:      RMS $rms dBFS, peak $peak dBFS"
  awk -v l="$rms_left" -v r="$rms_right" \
    'BEGIN { printf "Balance:    left RMS %s dBFS, right RMS %s dBFS (left - right %+.1f dB)\n", l, r, l - r }'
  echo "Player:     CPU $load_cpu_percent% of one core over ${load_seconds} s of the day forest," \
       "resident $resident_kb kB, private $private_kb kB ($private_kinds)"
  echo "Tone alone: CPU $tone_cpu_percent% of one core, private $tone_private_kb kB ($tone_private_kinds):" \
       "a program that only plays a tone through the library, Wine's sound path"
  awk -v s="$first_sound" -v z="$first_sample" -v lead="$launch_bytes" -v bps="$bytes_per_second" \
      -v loader="$loader_ms" \
    'BEGIN { from_start = 1000 * (s - lead / bps)
             printf "First sound: %.0f ms after the player was started, %.0f ms after its WinMain" \
                    " (first sample not zero: %.0f ms after the start)\n",
                    from_start, from_start - loader, 1000 * (z - lead / bps) }'
  echo "Underruns:  $underruns (the output's count while the first start played)"
  if awk -v rms="$rms" -v floor="$silence_floor_db" 'BEGIN { exit !(rms == "-inf" || rms < floor) }'; then
    die "the recording is silent"
  fi
  echo "Not silent: RMS above $silence_floor_db dBFS."
  echo
  echo "Spectrogram: $root/$out/demo-spectrogram.png (the rain and its thunder, the forest around them)"
  echo "Alarm:      $root/$out/alarm.png; the recording ends with the built-in alarm"
  echo "Every layer: the player's CPU $layers_cpu_percent% of one core over ${layers_seconds} s of the day" \
       "with every layer, $rain_cpu_percent% over the $rain_seconds s of rain and thunder"
  echo "Our threads (the soundscape bench's board, by day as a new user has it, then every layer on):"
  printf '%s\n' "$our_threads" | sed 's/^/  /'
  echo "Rain:       started by the $rain_started_by"
  echo "Trim:       working set $working_before kB before, $working_after kB after" \
       "(resident $resident_before kB, $resident_after kB)"
  echo "Listing:    $listing_time"
  echo "Decoding:   ${decode_speeds%, } real time (CD stereo, one core)"
  echo "Streaming:  $url_memory"
  mapfile -t beds < <(bed_clip_folders)
  python3 scripts/mix-figures.py "$out/demo.wav" "$stretches" "${beds[@]}" || die "the mix could not be measured"
  echo
  echo "Settings key ($settings_key, $root/$out/settings.txt): $settings_words"
  sed 's/^/  /' "$out/settings.txt"
  echo "Settings timed (goal: under 30 ms each):"
  printf '%s\n' "$settings_times" | sed 's/^/  /'
}

# Brook loud and far left; then wind, fly-bys and guitar very often, and a
# preview of each folder: its box ticked and its level taken hold of.
drive_brook() {
  drive set OptionTrackBar "$brook_level"
  drive marker OShape "$pad_left" "$pad_middle"
}

drive_day_layers() {
  drive tick WindCheckBox 1
  local box
  for box in Option3CheckBox Option7CheckBox GuitarCheckBox; do drive tick "$box" 1; done
  for box in NFBComboBox NFIComboBox GuitarComboBox; do drive pick "$box" "$very_often"; done
  drive set NFBTrackBar "$fly_by_level"
  drive tick NatureFolderCheckBox 1
  drive set NatureFolderTrackBar "$folder_level"
  drive tick MusicFolderCheckBox 1
  drive set MusicFolderTrackBar "$folder_level"
}

# The rain button's caption while no episode runs.
rain_caption() { drive caption RainBitBtn | tr -d '\r'; }

# Rain and storm very often; the button starts an episode unless one runs,
# and stops it after rain_seconds.
drive_rain() {
  local idle
  # The rain is heard with the brook at its own level, as the mix is judged.
  drive set OptionTrackBar "$brook_default_level"
  idle=$(rain_caption)
  drive tick RainCheckBox 1
  drive tick StormCheckBox 1
  drive pick RainComboBox "$very_often"
  rain_started_by="rain button"
  if [ "$(rain_caption)" = "$idle" ]; then
    drive click RainBitBtn
  else
    rain_started_by="the forest's own draw"
  fi
  rain_mark=$(seconds_recorded)
  cpu_measure "$rain_seconds"
  rain_cpu_percent=$cpu_percent
  note_stretch rain "$rain_mark"
  drive click RainBitBtn
  sleep "$forest_back_seconds"
}

# Three fires, near, with their marker far right.
drive_night_fires() {
  drive tick Option1CheckBox 1
  drive set Option1TrackBar "$three_fires"
  drive set Option1TrackBar1 "$fire_nearness"
  drive marker O1Shape "$pad_right" "$pad_middle"
}

# The memory trim box ticked, and cleared again: the player's working set as
# Windows counts it and its resident memory as Linux does, before and after,
# in kB.
measure_trim() {
  working_before=$(drive memory | tr -d '\r')
  resident_before=$(resident)
  drive tick MemoryCleanCheckBox 1
  sleep "$trim_settle_seconds"
  working_after=$(drive memory | tr -d '\r')
  resident_after=$(resident)
  drive tick MemoryCleanCheckBox 0
}

# The alarm's Test button, the forest switched off as at a wake-up: its
# window shown and photographed; the recording ends with the built-in alarm
# before a key closes it, and the forest plays again.
ring_alarm() {
  drive tick InnerAlarmRadioButton 1
  drive tick PlayCheckBox 0
  sleep "$quiet_seconds"
  drive click AlarmTestBitBtn
  alarm_mark=$(seconds_recorded)
  drive alarm wait "$alarm_wait_seconds" || die "the alarm window did not open"
  sleep 1
  import -window root -crop "$(drive alarm rect | tr -d '\r')" +repage "$out/alarm.png"
  sleep "$alarm_seconds"
  note_stretch alarm "$alarm_mark"
  stop_recording
  drive alarm key
  drive alarm gone "$alarm_wait_seconds" || die "a key did not close the alarm window"
  drive tick PlayCheckBox 1
}

say "plays $build_played"
check_build
make_prefix
place_programs
make_user_folders
set_folder_paths
give_night_hot_key
rm -f "$stretches"
start_recording
launch_bytes=$(recorded_bytes)
start_player "$player_log"
sleep "$settle_seconds"
# Once the start is done: it may have chosen the night by the calendar, and
# its schedule would bring the calendar's scene back; the demo picks its own.
drive tick AlternateCheckBox 0
drive scene 0
say "the day forest plays"
mark=$(seconds_recorded)
measure_load
sleep "$day_rest_seconds"
note_stretch day "$mark"
say "the brook loud and far left"
drive_brook
mark=$(seconds_recorded)
sleep "$brook_seconds"
note_stretch brook "$mark"
say "the wind, fly-bys, the guitar and both folders"
drive_day_layers
mark=$(seconds_recorded)
cpu_measure "$layers_seconds"
layers_cpu_percent=$cpu_percent
note_stretch layers "$mark"
say "rain and storm very often, and $rain_seconds s of rain"
drive_rain
say "the night forest, by its hot key, and three fires on the right"
drive keys "$night_hot_key"
drive waitscene 1 "$scene_wait_seconds" || die "the night-forest hot key did not bring the night forest"
drive_night_fires
mark=$(seconds_recorded)
sleep "$fires_seconds"
note_stretch fires "$mark"
measure_trim
screenshot_board "$out/board.png"
say "the board in every other language"
screenshot_languages
say "the board in English again, before Exit"
drive language english.lng
sleep "$language_settle_seconds"
screenshot_board "$out/board-before-exit.png"
say "the alarm's Test button"
ring_alarm
say "Exit"
drive exit
wait_for_player_end
read_player_log
show_settings_key
say "a second start shows the settings kept"
restart_and_screenshot
time_settings
time_listing
say "our threads' CPU by day and with every layer on"
measure_our_threads
say "a tone alone through the library, for Wine's own share"
measure_tone_alone
say "the decoders' speed and a long address stream's memory, natively"
measure_natively
draw_spectrogram
report
