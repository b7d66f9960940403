// web/random.mjs against the same generator in BigInt arithmetic, which is exact at any size:
// from seeds small and large, over enough draws that every value passes through the range where
// a plain product of doubles would round.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { draws } from './random.mjs';

test('each draw is the exact next value of the generator', () => {
    for (const seed of [0, 1, 11, 12345, 2 ** 23, 2 ** 31 - 1]) {
        const next = draws(seed);
        for (let i = 0, r = BigInt(seed); i < 5000; i++) {
            r = (r * 1103515245n + 12345n) % 2147483648n;
            assert.equal(next(), Number(r), `seed ${seed}, draw ${i + 1}`);
        }
    }
});
