// Pseudo-random draws for the page's test and benchmark: the C library's classic generator,
// r = (r * 1103515245 + 12345) mod 2^31, kept exact. A plain product passes 2^53 and loses the
// low bits that a draw keeps; Math.imul keeps the product's low 32, which are all the modulus reads.
export function draws(seed) {
    let r = seed;
    return () => {
        r = (Math.imul(r, 1103515245) + 12345) & 0x7fffffff;
        return r;
    };
}
