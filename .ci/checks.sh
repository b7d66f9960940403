# The checks .ci/run makes on what the build hands out: each either passes or stops the run with
# a line naming what it found wanting, and one that cannot read what it checks stops it too. Sourced
# by .ci/run, whose shell runs under set -euo pipefail; a check can also be tried on its own:
#   set -euo pipefail; source .ci/checks.sh; check_windows_zip DIR EXPECTED
# .ci/checks_test.sh tries each on an input it must pass and on one it must stop.

# Stops the run, saying why.
fail() {
    echo ".ci/run: FAILED: $*" >&2
    exit 1
}

# grep's STATUS on FILE was an answer: 0 a line matched, 1 none did. Anything else is a file it
# could not read or a pattern it could not parse, which says nothing about the file.
searched() { # STATUS FILE PATTERN
    (($1 < 2)) || fail "grep could not search $2 for ${3@Q} (status $1, above)"
}

# FILE has a line matching the extended regular expression PATTERN.
has() {
    local status=0
    grep -qE -- "$2" "$1" || status=$?
    searched "$status" "$1" "$2"
    ((status == 0)) || fail "$1 has no line matching ${2@Q}${3:+ ($3)}"
}

# FILE has no line matching PATTERN, in any case.
lacks() {
    local found status=0
    found=$(grep -inE -m 1 -- "$2" "$1") || status=$?
    searched "$status" "$1" "$2"
    ((status == 1)) || fail "$1 has a line matching ${2@Q}${3:+ ($3)}: $found"
}

present() {
    [[ -s $1 ]] || fail "$1 is missing or empty"
}

absent() {
    if [[ -e $1 ]]; then
        fail "$1 should not be there"
    fi
}

# Every line of FILE ends in CR LF, as Windows' own texts do.
crlf() {
    local bare status=0
    bare=$(grep -cv $'\r$' "$1") || status=$?
    searched "$status" "$1" $'\r$'
    ((status == 1)) || fail "$1: $bare lines end without CR LF, the first: $(grep -nv -m 1 $'\r$' "$1")"
}

# The manual page FILE (plain or gzip) lints clean under mandoc and renders without a warning.
manual_clean() {
    local said
    present "$1"
    zcat -f "$1" | mandoc -Tlint || fail "mandoc finds fault with $1 (above)"
    said=$(zcat -f "$1" | groff -man -ww -z 2>&1) || fail "groff cannot render $1: $said"
    [[ -z $said ]] || fail "groff warns on $1: $said"
}

# The program COMMAND... answers the dialogue that the file EXPECTED holds, byte for byte, and exits
# 0. With --crlf, every line end is CR LF, as a Windows program's text mode writes them; elsewhere a
# CR is a byte too many.
plays() { # [--crlf] EXPECTED COMMAND...
    local ends=(cat)
    if [[ $1 == --crlf ]]; then
        ends=(sed -z 's/\n/\r\n/g')
        shift
    fi
    local expected=$1
    shift
    present "$expected"
    printf '1 5\n1 -7\n2\n6\n' | timeout 300 "$@" | cmp <("${ends[@]}" < "$expected") - ||
        fail "$* did not write the expected dialogue (cmp above)"
}

# An ELF program without a symbol table or compiler notes, as Debian ships programs.
stripped() {
    local sections kept status=0
    sections=$(readelf -SW "$1") || fail "$1 is not an ELF program"
    kept=$(grep -oE '\.symtab|\.comment' <<< "$sections") || status=$?
    searched "$status" "readelf -SW $1" '\.symtab|\.comment'
    ((status == 1)) || fail "$1 is not stripped: ${kept//$'\n'/ }"
}

# An ELF program hardened as Debian hardens its own: position-independent, its relocations bound at
# start and then read-only, a stack protector, and fortified calls. Read from the dynamic tables,
# which stripping keeps.
hardened() { # PROGRAM
    local header dynamic segments symbols
    header=$(readelf -hW "$1") && dynamic=$(readelf -dW "$1") && segments=$(readelf -lW "$1") &&
        symbols=$(readelf --dyn-syms -W "$1") || fail "readelf cannot read $1 (above)"
    shows "$1" "$header" '^ +Type: +DYN ' "position independence (type DYN)"
    shows "$1" "$dynamic" '\(FLAGS_1\) +Flags:.* PIE( |$)' "position independence (PIE in FLAGS_1)"
    shows "$1" "$dynamic" '\(FLAGS\) +.*BIND_NOW' "relocations bound at start (BIND_NOW)"
    shows "$1" "$segments" '^ +GNU_RELRO ' "read-only relocations (GNU_RELRO)"
    shows "$1" "$symbols" ' UND __stack_chk_fail(@|$)' "a stack protector (__stack_chk_fail)"
    shows "$1" "$symbols" ' UND __[a-z0-9_]+_chk(@|$)' "a fortified call (__*_chk)"
}

# TEXT, what readelf says of PROGRAM, has a line matching PATTERN, the sign of WHAT.
shows() { # PROGRAM TEXT PATTERN WHAT
    local status=0
    grep -qE -- "$3" <<< "$2" || status=$?
    searched "$status" "readelf's view of $1" "$3"
    ((status == 0)) || fail "$1 lacks $4: readelf shows no line matching ${3@Q}"
}

# An installed tree under ROOT: the program runs (under EMULATOR... if given), is stripped and
# hardened, the manual is clean and the copyright file carries the licence.
check_installed() { # EXPECTED ROOT BINDIR MANDIR DOCDIR [EMULATOR...]
    local expected=$1 root=$2 bin=$3 man=$4 doc=$5
    shift 5
    plays "$expected" "$@" "$root/$bin/listmenu"
    stripped "$root/$bin/listmenu"
    hardened "$root/$bin/listmenu"
    manual_clean "$root/$man/man1/listmenu.1.gz"
    has "$root/$doc/copyright" '^ Permission is hereby granted' "the licence"
    echo "checked $root"
}

# A Debian package for ARCH, with what it depends on read from the program.
check_deb_fields() { # DEB ARCH
    local arch depends
    arch=$(dpkg-deb -f "$1" Architecture) || fail "dpkg-deb cannot read $1 (above)"
    [[ $arch == "$2" ]] || fail "$1: Architecture is '$arch', not '$2'"
    depends=$(dpkg-deb -f "$1" Depends) || fail "dpkg-deb cannot read $1 (above)"
    [[ $depends == "libc6 (>= "* ]] || fail "$1: Depends is '$depends', not libc6 at a version"
}

# The source tarball, unpacked in SRC: the licence, and no build tree or version control.
check_tarball() { # SRC
    present "$1/LICENSE"
    absent "$1/.git"
    absent "$1/build"
}

# The zips' own checks: check_windows_zip, check_wasi_zip and check_web_zip.
source "$(dirname "${BASH_SOURCE[0]}")/zip_checks.sh"
