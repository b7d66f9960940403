// Sessions of typed lines and, for each line, the list operations it ran and what it wrote in the
// program's memory: read by steps_test.mjs (web/steps.js on crafted memory) and page_test.mjs (the
// real program in Chromium). A, B, C name node blocks in the order they are first taken; `end`
// is Control-D on an empty line. A change reads: kind, block, from, to ('-': nothing before);
// `taken X 8 again` is a block of 8 bytes taken at an address released before, and `released X v`
// a block given back holding v ('-': it never held a node).
export const end = null;

export const cases = [
    ['an append links first, the next links the last next', ['1 5', '1 -7'], [
        ['create create_node', 'taken A 8; first NULL A; data A - 5; next A - NULL'],
        ['create create_node', 'taken B 8; next A NULL B; data B - -7; next B - NULL']]],
    ['a block taken at the data prompt is linked by the next line', ['1', '9'], [
        ['create create_node', 'taken A 8'],
        ['create create_node', 'first NULL A; data A - 9; next A - NULL']]],
    ['delete at first gives its block back and moves first', ['1 5', '1 6', '3'], [
        ['create create_node', 'taken A 8; first NULL A; data A - 5; next A - NULL'],
        ['create create_node', 'taken B 8; next A NULL B; data B - 6; next B - NULL'],
        ['delete_at_first', 'released A 5; first A B']]],
    ['an append takes again the block a delete gave back', ['1 5', '4', '1 7'], [
        ['create create_node', 'taken A 8; first NULL A; data A - 5; next A - NULL'],
        ['delete_at_last', 'released A 5; first A NULL'],
        ['create create_node', 'taken A 8 again; first NULL A; data A - 7; next A - NULL']]],
    ['a delete and an append on one line give a block back and take it again', ['1 5', '3 1 9', '1 6', '4 1 7'], [
        ['create create_node', 'taken A 8; first NULL A; data A - 5; next A - NULL'],
        ['delete_at_first create create_node', 'released A 5; taken A 8 again; first A A; data A - 9; next A - NULL'],
        ['create create_node', 'taken B 8; next A NULL B; data B - 6; next B - NULL'],
        ['delete_at_last create create_node', 'released B 6; taken B 8 again; next A B B; data B - 7; next B - NULL']]],
    ['the input ending at the data prompt gives back a block that never held a node', ['1', end], [
        ['create create_node', 'taken A 8'],
        ['create create_node', 'released A -']]],
    ['delete at a position counts at each try and ends in the deletes at either end', ['1 5', '1 6', '1 7', '5', '9', '2', '5', '2'], [
        ['create create_node', 'taken A 8; first NULL A; data A - 5; next A - NULL'],
        ['create create_node', 'taken B 8; next A NULL B; data B - 6; next B - NULL'],
        ['create create_node', 'taken C 8; next B NULL C; data C - 7; next C - NULL'],
        ['delete_at_position', ''],
        ['delete_at_position count_nodes', ''],
        ['delete_at_position count_nodes', 'released B 6; next A B C'],
        ['delete_at_position', ''],
        ['delete_at_position count_nodes delete_at_last', 'released C 7; next A C NULL']]],
    ['display and other choices write nothing', ['2', '7', '1 4', '2'], [
        ['display', ''],
        ['', ''],
        ['create create_node', 'taken A 8; first NULL A; data A - 4; next A - NULL'],
        ['display', '']]],
];

// A step's changes as the table writes them, from { change, address, from, to, reused } records
// written as the page writes them (#changes); `name` gives a block's letter.
export function summary(changes, name) {
    const word = (c, v) => (v === null || v === '' ? '-' : c.change === 'data' || c.change === 'released' || v === 'NULL' ? String(v) : name(v));
    return changes.map((c) => {
        const at = c.address === 'first' ? '' : ` ${name(c.address)}`;
        switch (c.change) {
            case 'taken':
                return `taken${at} ${c.to}${c.reused ? ' again' : ''}`;
            case 'released':
                return `released${at} ${word(c, c.from)}`;
            default:
                return `${c.change}${at} ${word(c, c.from)} ${word(c, c.to)}`;
        }
    }).join('; ');
}

// Names addresses by letter, in the order it is asked about them.
export function letters() {
    const seen = new Map();
    return (address) => seen.get(address) ?? seen.set(address, 'ABCDEFGH'[seen.size]).get(address);
}
