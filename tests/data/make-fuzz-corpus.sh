#!/usr/bin/env bash
# Makes the seed corpus of every fuzz target: tests/data/fuzz/<target>/, a few small files each
# (audio from ffmpeg and sox, the rest written byte by byte here). Run it again after changing a
# target's input layout; the files are committed. Usage: tests/data/make-fuzz-corpus.sh
set -euo pipefail
export LC_ALL=C
out="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/fuzz"
rm -rf "$out"
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

seed() {  # seed <target> <name>: stdin becomes the seed file of <target>_fuzz
    local dir="$out/${1%_fuzz}_fuzz"
    mkdir -p "$dir"
    cat > "$dir/$2"
}

# Little-endian numbers and the input readers' pieces.
le() {  # le <bytes> <value>
    local n=$1 v=$2 i
    for ((i = 0; i < n; i++)); do
        printf "\\x$(printf %02x $(((v >> (8 * i)) & 255)))"
    done
}
text() {  # a text as fuzzing::InputReader::text reads it: 2-byte length, then the bytes
    le 2 "${#1}"
    printf '%s' "$1"
}
# One 424-byte track record: length-prefixed fields, then duration and size.
field() {  # field <text> <capacity>
    le 1 "${#1}"
    printf '%s' "$1"
    head -c $(($2 - ${#1})) /dev/zero
}
record() {  # record <title> <artist> <file name> <duration ms>
    field "$1" 30
    field "$2" 30
    field "Album" 30
    field "1999" 4
    field "comment" 30
    field "Rock" 30
    field "$3" 255
    le 4 "$4"
    le 4 1234
}
frame() {  # frame <kind 1 post 2 send> <msg> <wParam> <lParam>
    printf 'QVW1'
    le 1 "$1"
    le 3 0
    le 8 7
    le 4 1
    le 4 "$2"
    le 8 "$3"
    le 8 "$4"
}
cyrillic=$'\xca\xe8\xed\xee'  # "Кино" in code page 1251

# ---- Audio files: every media reader and the decoder get the same small set.
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=0.2" -ac 1 -ar 8000 \
    -metadata title="Song" -metadata artist="Band" -write_id3v1 1 -id3v2_version 3 -c:a libmp3lame -b:a 32k "$tmp/tone.mp3"
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=0.2" -ac 1 -ar 8000 -c:a libmp3lame -b:a 32k \
    -write_xing 0 -id3v2_version 0 "$tmp/bare.mp3"
sox -n -r 8000 -c 1 -b 16 "$tmp/tone.wav" synth 0.1 sine 440
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=0.2" -ac 1 -ar 8000 \
    -metadata title="Song" -metadata artist="Band" -c:a libvorbis "$tmp/tone.ogg"
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=0.2" -ac 1 -ar 8000 \
    -metadata title="Song" -metadata author="Band" -c:a wmav2 -b:a 32k "$tmp/tone.wma"
for t in id3v1 id3v2 mpegaudio wavfile oggvorbis wmafile fileopen; do
    for f in tone.mp3 bare.mp3 tone.wav tone.ogg tone.wma; do
        seed "$t" "$f" < "$tmp/$f"
    done
done

# ---- Playlists as the programs write and read them.
m3u_plain=$'#EXTM3U\r\n#EXTINF:205,Artist - Title\r\n/music/a.mp3\r\n#EXTINF:0,x\r\n/music/x.wav\r\n'
m3u_mixed=$'#EXTM3U\r\n#EXTINF:-2,\xca\xe8\xed\xee - \xd1\xee\xed\r\nC:\\music\\old.mp3\r\n#EXTINF:3,\xd0\x9a\xd0\xb8\xd0\xbd\xd0\xbe - x\r\n/music/\xd0\x9a.mp3\r\n#EXTINF:abc\r\n'
m3u_cut=$'#EXTM3U\n#EXTINF:99999999999999,no path\n'
for t in m3u playlistfile; do
    printf '%s' "$m3u_plain" | seed "$t" plain.m3u
    printf '%s' "$m3u_mixed" | seed "$t" mixed.m3u
    printf '%s' "$m3u_cut" | seed "$t" cut.m3u
done
{ le 2 3; printf '%s' "$m3u_plain"; } | seed handoverlist three.m3u
{ le 2 1; printf '%s' "$m3u_mixed"; } | seed handoverlist one.m3u
printf '/lists/a.m3u\r\n/lists/\xca\xe8\xed\xee.m3u\r\n\r\n/lists/c.m3u\n' | seed historyfile recent.hst
for i in 1 2 3 4 5 6 7 8 9 10 11; do printf '/lists/%d.m3u\r\n' "$i"; done | seed historyfile eleven.hst

# ---- Ini files: settings, the registry store and the database program's language file.
printf '[Options]\r\nNoCopy=0\r\nThreshold=$1F4\r\nVolume=0x50\r\n; comment\r\n[Crossfade]\r\nSettings=0A0B0C\r\n' |
    seed inifile player.ini
printf '\xef\xbb\xbf[\xd0\x9e\xd0\xbf]\nKey = "quoted value"\nKey=second\n[Options\nbroken\n' | seed inifile odd.ini
registry=$'[HKEY_CURRENT_USER\\Software\\Quorvalen\\PosData]\r\n@Left="i:120"\r\n@Name="s:Main %25 window"\r\n@Bytes="b:0A0B"\r\n[HKEY_CLASSES_ROOT\\.mp3]\r\n@="s:Quorvalen.File"\r\n'
{ text 'Software\Quorvalen\PosData'; text 'Left'; printf '%s' "$registry"; } | seed registry store.ini
{ text '.mp3'; text ''; printf '%s' "$registry"; } | seed registry classes.ini
lang=$'[Main.Captions]\r\nButton5=\xd1\xee\xf5\xf0\xe0\xed\xe8\xf2\xfc\r\nTBase_main_window=Base\r\n[Main.Menus]\r\nN1=File\r\n[Main.ListColumns]\r\nc0=Artist\r\nc8=Size\r\n[Strings]\r\n_ask_savebase=Save?\r\n_str1= records removed\r\n'
{ text 'Main.Captions'; printf '%s' "$lang"; } | seed lang_fuzz lang_b.ini
{ text 'Strings'; printf '%s' "$lang"; } | seed lang_fuzz strings.ini

printf '[Form1.Captions]\r\nbtPlay=Play\r\nmFile=\xd4\xe0\xe9\xeb\r\n[Form1.Hints]\r\nbtPlay=Start\r\n[Form1.MenuItems]\r\nN20=Exit\r\n[PlaylistColumns]\r\nc0=#\r\nc1=Name\r\n[FindIndexes]\r\ni1=Title\r\n[Strings]\r\ns0=No generator\r\ns9=Restart\r\n' |
    seed playerlang lang.ini

# ---- The player's own files: schedules, encoder presets, notes and jingle lists.
printf '[Schedule]\r\nDate1=2024-05-10\r\nTime1=08:00:00\r\nFile1=/music/news.m3u\r\nDate2=02.01.2031\r\nTime2=9:30\r\nFile2=/music/\xca\xe8\xed\xee.mp3\r\nDate5=yesterday\r\nTime5=25:00:00\r\nFile5=\r\nNote=by hand\r\n' |
    seed schedulefile hand.sdl
printf '[Other]\nx=1\n[schedule]\nfile3="/a b.mp3"\ntime3=23:59:59\ndate3=2024-12-31\nFile0=/zero.mp3\n' | seed schedulefile other.sdl
preset() {  # preset <name> <command> <ext>: one 366-byte record
    field "$1" 100
    field "$2" 255
    field "$3" 8
}
{ preset "MP3 192" "mp3.cfg" "mp3"; preset "$cyrillic" "ogg.cfg" "ogg"; printf 'part'; } | seed encoderpresets Encoder.prs
{ text '/music/a.mp3'; text '/music/b.mp3'; printf 'First line\r\n\xcf\xf0\xe8\xe2\xe5\xf2\r\n'; } |
    seed notes cp1251.bin
{ text '/m_'; text 'm/'; printf '\xef\xbb\xbfutf-8 \xd1\x8f\rold mac'; } | seed notes marked.bin
printf '[Jingles]\r\nPath1=/j/one.mp3\r\nPath3=Jingles\\three.wav\r\nPath9=/j/\xca\xe8\xed\xee.mp3\r\nPath10=/j/ten.mp3\r\n' |
    seed jinglelist list.lst

# ---- Database files and the shared search area.
base() {
    record "Song 1" "Band" "/music/1.mp3" 185000
    record "Song 2" "$cyrillic" "/music/$cyrillic/2.mp3" 2500
    record "" "" "NO" 0
}
{ text 'band'; le 1 1; base; printf 'tail'; } | seed dfsfile artist.dfs
{ text '03:'; le 1 6; base; } | seed dfsfile time.dfs
{ le 2 2; base; } | seed dfsreader two.dfs
{ le 2 100; base; printf 'short tail'; } | seed dfsreader all.dfs
{ le 8 2; text 'query'; field "q" 423; base; } | seed searchresults two.bin
{ le 8 -1; text ''; base; } | seed searchresults negative.bin
{ le 1 1; text "$(printf '\x04band')"; } | seed searchquery artist.bin
{ le 1 7; text "$(printf '\xff/music')"; } | seed searchquery overlong.bin

# ---- The command-line area and message frames.
{ printf 'file'; head -c 509 /dev/zero; printf '/music/a.mp3'; head -c 501 /dev/zero; } | seed commandlinearea file.bin
{ head -c 1026 /dev/zero | tr '\0' 'x'; } | seed commandlinearea full.bin
{ frame 1 0x46A 0 0; frame 2 0x468 3 0; printf 'QVWIN1\n5\n123\n0\n0\nTForm1\nQuorvalen\n'; } | seed ipc_input frames.bin
printf 'QVWIN1\n7\n99\n12345\n1\nTBase_main_window\nDatabaseWindow7\n' | seed ipc_input record.bin

# The player's window: command-line arguments, the two exchange lists, result slots, then frames.
player_input() {  # player_input <first> <second> <frames...>
    text "$1"
    text "$2"
    text "$m3u_plain"
    text "$m3u_mixed"
    le 2 848; record "Found" "Band" "/music/found.mp3" 61000; record "Other" "$cyrillic" "/music/o.mp3" 0
}
{ player_input "list" "/nowhere.m3u"; frame 2 0x46A 0 0; frame 2 0x469 1 0; frame 2 0x469 0 0; frame 2 0x468 2 0; frame 1 0x46D 0 0; } |
    seed playermessages_fuzz lists.bin
{ player_input "file" "/music/none.mp3"; frame 2 0x46D 0 0; frame 1 0x46E 5 9; frame 2 0x46B 0 513; frame 2 0x468 -1 0; } |
    seed playermessages_fuzz file.bin
# The database program as search server: slot 0, then frames.
{ text "$(printf '\x04band')"; frame 2 0x467 77 12; frame 2 0x468 1 0; frame 2 0x468 6 0; frame 2 0x466 0 0; } |
    seed basemessages_fuzz query.bin
{ text ''; frame 2 0x467 77 23; frame 2 0x468 9 0; frame 2 0x465 0 0; frame 2 0x464 0 0; frame 2 0x468 0 0; } |
    seed basemessages_fuzz quit.bin

du -sh "$out" | cut -f1 | xargs echo "seed corpus:"
