// Runs every case of a regex corpus through the script engine's own regular expressions.
// One line per case, UTF-16 units in hex ("-" for empty): pattern caseless text format, then
// "E" when the pattern does not compile, else: whole-match (0/1), the first match's offsets
// ("0" or "count:o1,o2,..." with 4294967295 for a group that did not take part), and the
// text with every match replaced by format.
'use strict';
const fs = require('fs');

const hex = (s) => {
  let h = '';
  for (let i = 0; i < s.length; i++) h += s.charCodeAt(i).toString(16).padStart(4, '0');
  return h || '-';
};

const cases = JSON.parse(fs.readFileSync(process.argv[2], 'utf8'));
for (const c of cases) {
  const flags = c.i ? 'i' : '';
  const head = [hex(c.p), c.i ? 1 : 0, hex(c.t), hex(c.f)];
  let re;
  try {
    re = new RegExp(c.p, flags + 'd');
  } catch (e) {
    console.log(head.concat(['E']).join(' '));
    continue;
  }
  const whole = new RegExp('^(?:' + c.p + ')$', flags).test(c.t) ? 1 : 0;
  const m = re.exec(c.t);
  let offsets = '0';
  if (m) {
    const all = [];
    for (const ix of m.indices) all.push(...(ix ? ix : [4294967295, 4294967295]));
    offsets = all.length + ':' + all.join(',');
  }
  const replaced = c.t.replace(new RegExp(c.p, flags + 'g'), c.f);
  console.log(head.concat([whole, offsets, hex(replaced)]).join(' '));
}
