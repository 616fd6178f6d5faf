# Shared by the scripts that time a whole run of this program beside abook (a console address
# book) on the same 1,000,000 generated cards. Source it after setting build, write and bench.
#   whole_runs OUTPUT ABOOK_FORMAT: sets ours and theirs to "seconds, peak MiB" of each whole run.
for program in "$build/bench/vab_generate_book" "$write" "$bench"; do
  if [ ! -x "$program" ]; then
    echo "missing $program: build the benchmarks first" >&2
    exit 1
  fi
done
data=$(mktemp -d "$build/bench-data.XXXXXX")
trap 'rm -rf "$data"' EXIT
book=$data/cards-1000000.abk
"$build/bench/vab_generate_book" 1000000 "$book"

# Seconds and peak resident MiB of the fastest of three runs of a command; when a run fails, its
# exit status instead, and a non-zero return.
measure() {
  local best_s= best_kib= status
  for ((i = 0; i < 3; i++)); do
    status=0
    /usr/bin/time -f '%e %M' -o "$data/time" "$@" >/dev/null 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
      echo "failed with exit status $status"
      return 1
    fi
    read -r s kib <"$data/time"
    if [ -z "$best_s" ] || awk -v a="$s" -v b="$best_s" 'BEGIN { exit !(a < b) }'; then best_s=$s; fi
    if [ -z "$best_kib" ] || [ "$kib" -lt "$best_kib" ]; then best_kib=$kib; fi
  done
  awk -v s="$best_s" -v kib="$best_kib" 'BEGIN { printf "%6.2f s %7.1f MiB", s, kib / 1024 }'
}

whole_runs() {
  local output=$1 format=$2
  cat "$book" >/dev/null
  if ! ours=$(measure "$write" "$book" "$data/$output"); then
    echo "$write $ours" >&2
    exit 1
  fi
  echo "$output: $(stat -c %s "$data/$output") bytes"
  if command -v abook >/dev/null; then
    # The same cards as abook's address book: name, e-mail, address, city, state, zip, country,
    # phone, mobile and web site.
    LC_ALL=C awk -F '\xff' 'NR == 1 { print "[format]\nprogram=abook\nversion=0.6.1\n"; next }
      { printf "[%d]\nname=%s %s\nemail=%s\naddress=%s\ncity=%s\nstate=%s\nzip=%s\ncountry=%s\nphone=%s\nmobile=%s\nurl=%s\n\n",
          NR - 2, $1, $2, $11, $4, $5, $7, $6, $8, $9, $10, $12 }' "$book" >"$data/addressbook"
    theirs=$(measure abook --convert --informat abook --infile "$data/addressbook" --outformat "$format" \
      --outfile "$data/abook.$format") || theirs="abook $theirs"
  else
    theirs="abook is not installed"
  fi
}
