// Validates every line of an xAPI JSON Lines file with Learning Locker's
// validator; prints each problem with its line and exits 1 when there is one.
const fs = require('fs');
const validate = require('@learninglocker/xapi-validation').default;

const lines = fs.readFileSync(process.argv[2], 'utf8').split('\n').filter((l) => l.length > 0);
let problems = 0;
lines.forEach((line, i) => {
  let statement;
  try {
    statement = JSON.parse(line);
  } catch (e) {
    console.log(`${i + 1}: not JSON: ${e.message}`);
    problems += 1;
    return;
  }
  for (const w of validate(statement)) {
    console.log(`${i + 1}: ${w.path.join('.')}: ${w.name}`);
    problems += 1;
  }
});
console.log(`${lines.length} statements, ${problems} problems`);
process.exit(problems === 0 ? 0 : 1);
