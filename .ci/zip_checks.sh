# The checks of the three zips, Windows', WASI's and the page's, sourced by .ci/checks.sh, whose
# helpers they use (fail, present, has, lacks, crlf, plays).

# The Windows zip, unpacked in WIN: the program, run through RUNNER... (wine) if given, and texts
# for Windows with CR LF line ends.
check_windows_zip() { # WIN EXPECTED [RUNNER...]
    local win=$1 expected=$2 file
    shift 2
    for file in LICENSE.txt README.txt listmenu.txt listmenu.exe; do
        present "$win/$file"
    done
    for file in LICENSE.txt README.txt listmenu.txt; do
        crlf "$win/$file"
    done
    has "$win/LICENSE.txt" '^Permission is hereby granted' "the licence"
    lacks "$win/listmenu.txt" $'\b' "an overstrike"
    lacks "$win/README.txt" 'Control-D|printf|apt-get|User Commands' "a Unix word"
    lacks "$win/listmenu.txt" 'Control-D|printf|apt-get|User Commands' "a Unix word"
    has "$win/README.txt" 'Ctrl-Z, then Enter'
    has "$win/listmenu.txt" 'Control-Z then Enter'
    plays --crlf "$expected" "$@" "$win/listmenu.exe"
}

# The WASI zip, unpacked in WASI: the module runs through its runner under NODE, which also says
# how to use it when given no module.
check_wasi_zip() { # WASI EXPECTED NODE
    local wasi=$1 expected=$2 node=$3 file status=0 said
    for file in listmenu.wasm run.mjs LICENSE.txt README.txt; do
        present "$wasi/$file"
    done
    has "$wasi/LICENSE.txt" '^Permission is hereby granted' "the licence"
    plays "$expected" "$node" --no-warnings "$wasi/run.mjs" "$wasi/listmenu.wasm"
    said=$(timeout 60 "$node" --no-warnings "$wasi/run.mjs" 2>&1) || status=$?
    [[ $status == 2 && $said == usage:* ]] || fail "$wasi/run.mjs with no module: status $status, said: $said"
}

# The web zip ZIP, unpacked into DIR (a new folder): it opens with the one file, listmenu.html,
# which holds the module and both licences; README.txt's first line says how to open it, and it
# then says how to serve the folder page; the folder page and its licences are there, and so is
# every file README.txt lists under "In this zip:" (a row a file, "    NAME   what it is"), and
# nothing else.
check_web_zip() { # ZIP DIR
    local zip=$1 dir=$2 entries first web rows file files=()
    entries=$(unzip -Z1 "$zip") || fail "unzip cannot list $zip (above)"
    first=$(grep -m 1 -v '/$' <<< "$entries") || fail "$zip holds no file"
    [[ $first == */listmenu.html || $first == listmenu.html ]] || fail "$zip opens with $first, not listmenu.html"
    mkdir "$dir" || fail "cannot make $dir, into which $zip is unpacked (above): it must be new"
    unzip -q "$zip" -d "$dir" || fail "unzip cannot unpack $zip (above)"
    web=$dir/$(dirname "$first")
    present "$web/listmenu.html"
    has "$web/listmenu.html" "const listmenuModule = '0061736d" "the module inside it, as hex"
    has "$web/listmenu.html" '^Permission is hereby granted' "listmenu's licence inside it"
    has "$web/listmenu.html" 'The xterm.js authors' "xterm.js's licence inside it"
    present "$web/README.txt"
    head -n 1 "$web/README.txt" | grep -qiE 'double-click listmenu\.html' ||
        fail "$web/README.txt's first line does not say to double-click listmenu.html: $(head -n 1 "$web/README.txt")"
    has "$web/README.txt" 'python3 -m http.server' "how to serve the folder page"
    rows=$(sed -n '/^In this zip:$/,/^[^[:space:]]/{/^    [^[:space:]]/p}' "$web/README.txt") ||
        fail "sed could not read $web/README.txt"
    while read -r file _; do
        if [[ -n $file ]]; then
            files+=("$file")
        fi
    done <<< "$rows"
    ((${#files[@]} > 0)) || fail "$web/README.txt lists no file under 'In this zip:'"
    [[ ${files[0]} == listmenu.html ]] || fail "$web/README.txt lists ${files[0]} first, not listmenu.html"
    for file in "${files[@]}" index.html listmenu.wasm; do
        present "$web/$file"
    done
    for file in "$web"/* "$web"/.[!.]*; do
        [[ -e $file ]] || continue
        [[ " ${files[*]} " == *" ${file##*/} "* ]] || fail "$file is in the zip but not in the README's list"
    done
    has "$web/LICENSE.txt" '^Permission is hereby granted' "listmenu's licence"
    has "$web/LICENSE-xterm.txt" 'The xterm.js authors' "xterm.js's licence"
}
