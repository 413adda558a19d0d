// The part of npm's version ranges that "engines" fields use:
// alternatives joined by "||", each a list of comparators (>=, >, <=, <,
// =, ^, ~), plain versions and wildcards ("*", "x", "10.*", "6").

function parse(text) {
    const parts = text.split('.').slice(0, 3);
    const wild = parts.findIndex(p => p === '*' || p.toLowerCase() === 'x' || p === '');
    const given = wild < 0 ? parts.length : wild;
    const numbers = parts.slice(0, given).map(p => Number.parseInt(p, 10));
    if (numbers.some(Number.isNaN)) return null;
    while (numbers.length < 3) numbers.push(0);
    return { numbers, given };
}

function compare(a, b) {
    for (let i = 0; i < 3; i++) if (a[i] !== b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

// The version just past the last one a partial version or caret/tilde
// range covers: "10" → 11.0.0, "^1.2.3" → 2.0.0, "~1.2.3" → 1.3.0.
function upper(numbers, keep) {
    const next = numbers.slice(0, keep).concat([0, 0, 0]).slice(0, 3);
    if (keep === 0) return null;
    next[keep - 1] += 1;
    return next;
}

function caretKeep(numbers, given) {
    const firstNonZero = numbers.findIndex(n => n !== 0);
    const keep = firstNonZero < 0 ? given : firstNonZero + 1;
    return Math.min(keep, given);
}

function matchComparator(version, comparator) {
    const m = /^(>=|<=|>|<|=|\^|~)?\s*v?(.*)$/.exec(comparator);
    const op = m[1] ?? '';
    const target = parse(m[2]);
    if (!target) return false;
    const { numbers, given } = target;
    const c = compare(version, numbers);
    const below = (limit) => limit === null || compare(version, limit) < 0;
    switch (op) {
    case '>=': return c >= 0;
    case '>': return given < 3 ? !below(upper(numbers, given)) : c > 0;
    case '<=': return given < 3 ? below(upper(numbers, given)) : c <= 0;
    case '<': return c < 0;
    case '^': return c >= 0 && below(upper(numbers, caretKeep(numbers, given)));
    case '~': return c >= 0 && below(upper(numbers, Math.min(given, 2) || 1));
    default: return given === 3 ? c === 0 : c >= 0 && below(upper(numbers, given));
    }
}

export function satisfies(versionText, range) {
    const version = parse(versionText).numbers;
    return range.split('||').some(alternative => {
        const comparators = alternative.trim().replace(/(>=|<=|>|<|=|\^|~)\s+/g, '$1')
            .split(/\s+/).filter(Boolean);
        return comparators.every(c => matchComparator(version, c));
    });
}
