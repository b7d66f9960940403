#!/usr/bin/env bash
# Each check of .ci/checks.sh on small fixtures made here: it passes the good ones, and it stops,
# with its FAILED line, on a copy holding one planted fault. The stand-in programs echo the answers
# they are given, so the dialogue expected of them is the answers.
set -euo pipefail
cd "$(dirname "$0")/.."
source .ci/checks.sh
checks=$PWD/.ci/checks.sh
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT

# A program at FILE that runs the shell BODY on the answers.
standin() { # FILE BODY
    printf '#!/bin/sh\n%s\n' "$2" > "$1"
    chmod +x "$1"
}
echoes='exec cat'
echoes_crlf="exec sed 's/\$/\\r/'"

# FILE holds LINE..., each ending in CR LF.
dos() { # FILE LINE...
    printf '%s\r\n' "${@:2}" > "$1"
}

# A manual page, gzipped as installed, with EXTRA lines after its body.
manual() { # FILE [EXTRA...]
    printf '%s\n' '.TH STANDIN 1 2026-12-08' '.SH NAME' 'standin \- a stand-in' '.SH DESCRIPTION' \
        'It echoes its input.' "${@:2}" | gzip -n > "$1"
}

# listmenu.deb, for ARCH, depending on DEPENDS.
deb() { # ARCH DEPENDS
    mkdir -p "$t/deb/DEBIAN"
    printf '%s\n' 'Package: listmenu' 'Version: 1.0.0' "Architecture: $1" 'Maintainer: CI <ci@example.org>' \
        "Depends: $2" 'Description: a stand-in' > "$t/deb/DEBIAN/control"
    dpkg-deb --root-owner-group -b "$t/deb" listmenu.deb > /dev/null
}

# The echo program, built hardened as Debian builds, then with FLAGS... undoing one part of it.
mkdir "$t/elf"
printf '%s\n' '#include <stdio.h>' 'int main(void) {' '    char line[256];' \
    '    while (fgets(line, sizeof line, stdin))' '        printf("%s", line);' '    return 0;' '}' > "$t/echo.c"
elf() { # NAME FLAGS...
    cc -O2 -D_FORTIFY_SOURCE=2 -fstack-protector-strong -fPIE -pie -Wl,-z,relro,-z,now "${@:2}" \
        "$t/echo.c" -o "$t/elf/$1"
}
elf unstripped
for variant in hardened lazy:-Wl,-z,lazy norelro:-Wl,-z,norelro nopie:-no-pie shared:-fPIC:-shared \
               unprotected:-fno-stack-protector unfortified:-U_FORTIFY_SOURCE; do
    IFS=: read -ra flags <<< "$variant"
    elf "${flags[@]}"
    strip -R .comment "$t/elf/${flags[0]}"
done

good=$t/good
mkdir -p "$good"/{win,wasi,src,root/usr/bin,root/usr/share/man/man1,root/usr/share/doc/listmenu}
cd "$good"
printf '1 5\n1 -7\n2\n6\n' > expected
cp "$t/elf/hardened" root/usr/bin/listmenu
manual root/usr/share/man/man1/listmenu.1.gz
printf '%s\n' 'License: Expat' ' Permission is hereby granted, free of charge' > root/usr/share/doc/listmenu/copyright
deb arm64 'libc6 (>= 2.36)'
echo 'Permission is hereby granted' > src/LICENSE
dos win/LICENSE.txt 'MIT License' 'Permission is hereby granted, free of charge'
dos win/README.txt 'listmenu for Windows' 'Leave with 6, or Ctrl-Z, then Enter.'
dos win/listmenu.txt 'Control-Z then Enter ends the input.'
standin win/listmenu.exe "$echoes_crlf"
printf '\0asm' > wasi/listmenu.wasm
cp win/README.txt wasi/README.txt
mkdir web
# As the build writes the README: how to open the one file first, then the list, a row a file,
# under its heading, before the next one; then how to serve the folder page.
printf '%s\n' 'To open listmenu, double-click listmenu.html: it opens in your web browser.' '' 'In this zip:' '' \
    '    listmenu.html       the one file' '    index.html          the page' '    stepper.js          Back, Forward' \
    '    listmenu.wasm       the program' '    LICENSE.txt         the licence' \
    '    LICENSE-xterm.txt   its licence' '    README.txt          this file' '' 'Serving it' '----------' \
    '    python3 -m http.server --bind 127.0.0.1 8000' > web/README.txt
for file in index.html stepper.js listmenu.wasm; do
    echo "// $file" > "web/$file"
done
printf '%s\n' '<!doctype html>' '<!--' 'Permission is hereby granted' '-->' '<!--' 'Copyright (c) The xterm.js authors' \
    '-->' "<script>const listmenuModule = '0061736d01000000';</script>" > web/listmenu.html
echo 'Permission is hereby granted' > web/LICENSE.txt
echo 'Copyright (c) The xterm.js authors' > web/LICENSE-xterm.txt
# web.zip, made from web/ as the build makes its zip: the files named one by one, in the order of
# FILE... (by default listmenu.html, then the rest).
webzip() { # [FILE...]
    local names=("$@")
    if ((${#names[@]} == 0)); then
        mapfile -t names < <(echo listmenu.html; ls -A web | grep -vx listmenu.html)
    fi
    rm -f web.zip
    cmake -E tar cf web.zip --format=zip "${names[@]/#/web/}"
}
webzip
cp src/LICENSE wasi/LICENSE.txt
echo '// runs the module' > wasi/run.mjs
standin node 'case $# in 3) exec cat ;; esac; echo usage: run.mjs MODULE; exit 2'
cd - > /dev/null

installed='check_installed expected root usr/bin usr/share/man usr/share/doc/listmenu'
webzip='check_web_zip web.zip unpacked'
program=root/usr/bin/listmenu
# check | what its FAILED line says | the fault, planted in a copy of the good fixtures
cases=(
    "check_windows_zip win expected | end without CR LF | printf 'an LF line\n' >> win/README.txt"
    "check_windows_zip win expected | a Unix word | dos win/listmenu.txt 'Control-Z then Enter' 'or Control-D'"
    "check_windows_zip win expected | a Unix word | dos win/README.txt 'Ctrl-Z, then Enter' 'sudo apt-get install'"
    "check_windows_zip win expected | an overstrike | dos win/listmenu.txt 'Control-Z then Enter' \$'N\bNAME'"
    "check_windows_zip win expected | no line matching 'Ctrl-Z, then Enter' | dos win/README.txt 'listmenu'"
    "check_windows_zip win expected | the licence | dos win/LICENSE.txt 'MIT License'"
    "check_windows_zip win expected | listmenu.exe is missing | rm win/listmenu.exe"
    "check_windows_zip win expected | listmenu.txt is missing or empty | : > win/listmenu.txt"
    "check_windows_zip win expected | did not write the expected dialogue | standin win/listmenu.exe '$echoes'"
    "check_wasi_zip wasi expected ./node | README.txt is missing | rm wasi/README.txt"
    "check_wasi_zip wasi expected ./node | with no module: status 0 | standin node '$echoes'"
    "$installed | did not write the expected dialogue | standin $program 'exec sed s/5/6/'"
    "$installed | did not write the expected dialogue | standin $program \"\$echoes_crlf\""
    "$installed | is not stripped: .comment .symtab | cp \$t/elf/unstripped $program"
    "$installed | lacks position independence (type DYN) | cp \$t/elf/nopie $program"
    "hardened $program | lacks position independence (PIE in FLAGS_1) | cp \$t/elf/shared $program"
    "hardened $program | (BIND_NOW) | cp \$t/elf/lazy $program"
    "hardened $program | (GNU_RELRO) | cp \$t/elf/norelro $program"
    "hardened $program | (__stack_chk_fail) | cp \$t/elf/unprotected $program"
    "hardened $program | a fortified call | cp \$t/elf/unfortified $program"
    "$installed | mandoc finds fault | manual root/usr/share/man/man1/listmenu.1.gz .XY"
    "$installed | the licence | echo 'License: Expat' > root/usr/share/doc/listmenu/copyright"
    "check_deb_fields listmenu.deb arm64 | Architecture is 'amd64' | deb amd64 'libc6 (>= 2.36)'"
    "check_deb_fields listmenu.deb arm64 | Depends is 'libc6' | deb arm64 libc6"
    "check_deb_fields listmenu.deb arm64 | dpkg-deb cannot read | rm listmenu.deb"
    "check_tarball src | src/build should not be there | mkdir src/build"
    "check_tarball src | src/.git should not be there | mkdir src/.git"
    "$webzip | opens with web/index.html, not listmenu.html | webzip index.html listmenu.html stepper.js listmenu.wasm LICENSE.txt LICENSE-xterm.txt README.txt"
    "$webzip | unpacked/web/listmenu.html is missing or empty | : > web/listmenu.html; webzip"
    "$webzip | (the module inside it, as hex) | sed -i /listmenuModule/d web/listmenu.html; webzip"
    "$webzip | (listmenu's licence inside it) | sed -i /Permission/d web/listmenu.html; webzip"
    "$webzip | (xterm.js's licence inside it) | sed -i /xterm.js.authors/d web/listmenu.html; webzip"
    "$webzip | first line does not say to double-click listmenu.html | sed -i '1i listmenu in a web page' web/README.txt; webzip"
    "$webzip | (how to serve the folder page) | sed -i 's/python3 -m http.server//' web/README.txt; webzip"
    "$webzip | lists index.html first, not listmenu.html | sed -i '/^    listmenu.html/d; /^    index.html/a\\    listmenu.html       the one file' web/README.txt; webzip"
    "$webzip | unpacked/web/stepper.js is missing or empty | rm web/stepper.js; webzip"
    "$webzip | unpacked/web/listmenu.wasm is missing or empty | : > web/listmenu.wasm; webzip"
    "$webzip | unpacked/web/index.html is missing | sed -i '/^    index.html/d' web/README.txt; rm web/index.html; webzip"
    "$webzip | unpacked/web/README.txt is missing | rm web/README.txt; webzip"
    "$webzip | lists no file under 'In this zip:' | sed -i 's/^In this zip:/In the zip:/' web/README.txt; webzip"
    "$webzip | lists no file under 'In this zip:' | sed -i '/^In this zip:\$/,/^Serving/{/^    /d}' web/README.txt; webzip"
    "$webzip | unpacked/web/new.js is in the zip but not in the README's list | echo '// new' > web/new.js; webzip"
    "$webzip | unpacked/web/.hidden is in the zip but not in the README's list | echo x > web/.hidden; webzip"
    "$webzip | LICENSE-xterm.txt has no line matching | echo 'MIT License' > web/LICENSE-xterm.txt; webzip"
    "$webzip | unzip cannot list web.zip | echo 'not a zip' > web.zip"
    "has win/LICENSE.txt ^Permission | could not search win/LICENSE.txt | rm win/LICENSE.txt"
    "lacks win/README.txt apt-get | could not search win/README.txt | rm win/README.txt"
    "crlf win/README.txt | could not search win/README.txt | rm win/README.txt"
    "plays expected $program | expected is missing | rm expected"
    "stripped $program | is not an ELF program | rm $program"
    "hardened $program | readelf cannot read | rm $program"
    "manual_clean root/usr/share/man/man1/listmenu.1.gz | is missing | rm root/usr/share/man/man1/listmenu.1.gz"
)

# CHECK run in DIR as .ci/run runs it: in a shell under set -euo pipefail, where an error the check
# leaves unhandled stops it. What it says goes to $t/said.
try() { # DIR CHECK
    timeout 60 bash -euo pipefail -c 'source "$1"; cd "$2"; eval "$3"' try "$checks" "$1" "$2" \
        < /dev/null 2>&1 | head -c 65536 > "$t/said"
}

declare -A passed
for row in "${cases[@]}"; do
    IFS='|' read -r check words plant <<< "$row"
    read -r check <<< "$check"
    read -r words <<< "$words"
    read -r plant <<< "$plant"
    if [[ -z ${passed[$check]:-} ]]; then
        status=0
        rm -rf "$t/case"
        cp -a "$good" "$t/case"  # so that what a check leaves behind never reaches a fault's copy
        try "$t/case" "$check" || status=$?
        ((status == 0)) || fail "$check fails on the good fixtures (status $status): $(< "$t/said")"
        passed[$check]=1
    fi
    rm -rf "$t/case"
    cp -a "$good" "$t/case"
    (cd "$t/case" && eval "$plant")
    status=0
    try "$t/case" "$check" || status=$?
    ((status != 0)) || fail "$check passes with this fault planted: $plant"
    said=$(grep -m 1 '^\.ci/run: FAILED: ' "$t/said") || true
    [[ $said == *"$words"* ]] ||
        fail "$check, with $plant, stopped (status $status) without a FAILED line saying ${words@Q}: $(< "$t/said")"
    echo "checks_test: $plant: ${said#.ci/run: FAILED: }"
done
echo "checks_test: ${#passed[@]} checks passed their good fixtures and stopped on ${#cases[@]} faults"
