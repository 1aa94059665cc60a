#!/bin/sh
# Runs wizard-console-sample with piped input and compares its standard output
# with the expected transcript: nothing but the transcript, no prompt.
# usage: run_console_sample.sh PROGRAM
set -eu
program=$1
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

printf 'radio 3\nradio 2\ncancel\nno\nnext\n\n/bin/sh\n' | "$program" >"$out" 2>"$err"
expected='== page "Halvex setup"
heading: Choose the edition.
radio 1: (*) Standard
radio 2: ( ) Professional
text: The filters.
next: Next >
cancel: Cancel
?? radio 3 is hidden
== page "Halvex setup"
heading: Choose the edition.
radio 1: ( ) Standard
radio 2: (*) Professional
text: The filters and the batch tools.
next: Next >
cancel: Cancel
== box "Halvex setup" icon=question buttons=yesno default=yes
text: Stop the installation?
== cursor wait
== box "Halvex setup" icon=question buttons=yesno default=no
text: Replace the older file?
== cursor arrow
== open "*.exe"'
if [ "$(cat "$out")" != "$expected" ]; then
  echo "transcript differs:"; diff "$out" - <<EOF2 || true
$expected
EOF2
  exit 1
fi
expected_err='page: 6 selected 1
box: 7
open: 1 /bin/sh'
if [ "$(cat "$err")" != "$expected_err" ]; then
  echo "results differ:"; cat "$err"; exit 1
fi

# No input at all (stdin closed) ends too.
"$program" </dev/null >"$out" 2>"$err"
grep -q '^page: 2 selected 0$' "$err" || { echo "closed stdin did not cancel"; cat "$err"; exit 1; }
echo "console sample transcript ok"
