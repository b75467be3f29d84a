# The steps both windows' drive tests take with xdotool, sourced by
# qt/drive_window.sh and win32/drive_window.sh: each wait is for a state,
# bounded only to fail rather than hang. The caller sets `fixture` (holding
# expected.xml) and `pid` (the program started last); `work` is the test's own
# folder. At the end, that program is stopped if it still runs, and `work` removed.

work=$(mktemp -d)
pid=
trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Runs the command $2... every tenth of a second until it succeeds, $1 times at most.
poll() {
  tries=$1
  shift
  until "$@"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

# The id of a visible window named as the pattern $1, other than window $2, into $id.
found() {
  id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -vx "${2:-0}" | head -n 1) &&
    [ -n "$id" ]
}
# Prints the id of such a window, waiting $3 tenths of a second (600) at most for it.
wait_window() { poll "${3:-600}" found "$1" "${2:-}" && echo "$id"; }
shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
# True once no visible window is named as the pattern $1, within $2 tenths of a second.
gone() { poll "$2" eval "! shown '$1'"; }

# Gives window $1 the keyboard focus and presses the keys $2...
keys() {
  window=$1
  shift
  xdotool windowfocus --sync "$window" key --delay 50 "$@"
}

# Waits (at most 20 s) for the program to end; checks its status is $1.
expect_end() {
  poll 200 eval '! kill -0 "$pid" 2>/dev/null' || fail "the program did not end"
  status=0
  wait "$pid" || status=$?
  [ "$status" -eq "$1" ] || fail "the program ended with status $status"
}

# Dismisses the message box the conversion ends with; checks the document in folder $1.
expect_document() {
  box=$(wait_window '^Dizuzize$') || fail "no message after Convert"
  keys "$box" Return
  expect_end 0
  cmp "$1/xmlstructure.xml" "$fixture/expected.xml" || fail "not the expected document"
}

# Writes the flat OpenDocument file $1, a few hundred bytes whose rows repeat:
# 4 columns of 1,048,575 values, 4,194,308 lines, which take a minute or more
# to write, so its conversion cannot end while it is watched.
write_long_workbook() {
  cell='<table:table-cell table:number-columns-repeated="4" office:value-type="string">'
  cat >"$1" <<FODS
<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:body><office:spreadsheet><table:table table:name="Grid">
<table:table-row>$cell<text:p>label</text:p></table:table-cell></table:table-row>
<table:table-row table:number-rows-repeated="1048575">$cell<text:p>value</text:p></table:table-cell></table:table-row>
</table:table></office:spreadsheet></office:body></office:document>
FODS
}

# Waits (at most 60 s) for the file $document to grow past $1 bytes.
grown() {
  poll 600 eval '[ "$(stat -c %s "$document" 2>/dev/null || echo 0)" -gt '"$1"' ]' ||
    fail "the conversion did not write on"
}

# Stops the long conversion of window $main, started on write_long_workbook's
# file, into $document: Enter on Convert, then Exit (the caller's press_exit)
# answered with the key $1 for No while the document grows, then with Yes; the
# message; status 1; the incomplete document removed and the file $2 (the run's
# stderr) saying so.
stop_long_conversion() {
  keys "$main" Return
  grown 0
  for answer in "$1" y; do
    press_exit
    question=$(wait_window '^Dizuzize$' "" 50) || fail "Exit did not ask within 5 s"
    keys "$question" "$answer"
    [ "$answer" = y ] || grown "$(stat -c %s "$document")"
  done
  box=$(wait_window '^Dizuzize$' "$question") || fail "no message after the stop"
  keys "$box" Return
  expect_end 1
  [ ! -e "$document" ] || fail "the incomplete document is still there"
  grep -qF "the conversion was cancelled; the incomplete document was removed" "$2" ||
    fail "stderr does not say the conversion was cancelled"
}
