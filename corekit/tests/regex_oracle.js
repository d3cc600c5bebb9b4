// Runs every case of a regex corpus through the script engine's own regular expressions.
// One line per case, UTF-16 units in hex ("-" for empty): pattern caseless text format, then
// "E" when the pattern does not compile, else two answers, one for wide text and one for
// narrow text, each three fields: whole-match (0/1), the first match's offsets in UTF-16
// units ("0" or "count:o1,o2,..." with 4294967295 for a group that did not take part), and
// the text with every match replaced by format.
//
// Case folding of the system is ASCII-only while the script engine also folds other
// letters (é and É). A caseless case whose pattern holds such letters gives "cs": the same
// pattern with the ASCII-only folding spelled out, case-sensitive ("[sS]tra" for "stra");
// that pattern then supplies the answers.
//
// Narrow text is matched by code points, wide text by UTF-16 units. For a case with a
// character beyond U+FFFF (or a surrogate escape in its pattern) the narrow answer comes
// from the engine's code-point mode (flag u); otherwise both answers are the same.
'use strict';
const fs = require('fs');

const hex = (s) => {
  let h = '';
  for (let i = 0; i < s.length; i++) h += s.charCodeAt(i).toString(16).padStart(4, '0');
  return h || '-';
};

const hasAstral = (s) => /[\ud800-\udfff]/.test(s);

// The three answer fields for pattern p (compiled with flags) on text t with format f.
const answer = (p, flags, t, f) => {
  const re = new RegExp(p, flags + 'd');
  const whole = new RegExp('^(?:' + p + ')$', flags).test(t) ? 1 : 0;
  const m = re.exec(t);
  let offsets = '0';
  if (m) {
    const all = [];
    for (const ix of m.indices) all.push(...(ix ? ix : [4294967295, 4294967295]));
    offsets = all.length + ':' + all.join(',');
  }
  const replaced = t.replace(new RegExp(p, flags + 'g'), f);
  return [whole, offsets, hex(replaced)];
};

const cases = JSON.parse(fs.readFileSync(process.argv[2], 'utf8'));
for (const c of cases) {
  const pattern = c.cs !== undefined ? c.cs : c.p;
  const flags = c.i && c.cs === undefined ? 'i' : '';
  const head = [hex(c.p), c.i ? 1 : 0, hex(c.t), hex(c.f)];
  try {
    new RegExp(c.p, c.i ? 'i' : '');
  } catch (e) {
    console.log(head.concat(['E']).join(' '));
    continue;
  }
  const wide = answer(pattern, flags, c.t, c.f);
  const codePoints =
    hasAstral(c.p + c.t + c.f) || /\\u[dD][89abAB]/.test(c.p);
  // A code-point case whose pattern the u mode rejects throws here and fails the run.
  const narrow = codePoints ? answer(pattern, flags + 'u', c.t, c.f) : wide;
  console.log(head.concat(wide, narrow).join(' '));
}
