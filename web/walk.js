// The list at a run's shown step (web/steps.js), walked from `first` along the blocks' records,
// with no browser in sight: web/steps_test.mjs runs it under Node.js on crafted memory.
'use strict';

// The list at the shown step, from `first`: its length, the first `limit` nodes, and where
// it stops: at NULL, at an address it has already seen (a cycle), or at a block the program
// does not hold (stray), given back to the heap or never taken.
function walk(run, limit) {
    const stamp = ++run.walks;
    const nodes = [];
    let count = 0;
    let cycle = null;
    let stray = null;
    for (let at = run.first, b = run.firstBlock; at !== 0; at = b.next, b = b.nextBlock) {
        if (b === undefined || b.gone) {
            stray = at;
            break;
        }
        if (b.walked === stamp) {
            cycle = at;
            break;
        }
        b.walked = stamp;
        count++;
        if (nodes.length < limit) {
            nodes.push({ address: at, data: b.data, next: b.next });
        }
    }
    return { nodes, count, cycle, stray };
}

if (typeof module === 'object') {
    module.exports = walk;
}
