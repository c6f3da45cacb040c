// Validates .glb files with Khronos's glTF Validator: prints each file's
// counts of errors, warnings, infos and hints, and every message but hints, one
// line each; exits 1 when any file has an error or a warning.
'use strict';
const fs = require('fs');
const validator = require('gltf-validator');

async function check(path) {
    const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(path)), {
        maxIssues: 0,
        writeTimestamp: false,
    });
    const issues = report.issues;
    console.log(`${path}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ` +
                `${issues.numInfos} infos, ${issues.numHints} hints`);
    for (const m of issues.messages) {
        if (m.severity < 3) {
            console.log(`  ${['error', 'warning', 'info'][m.severity]} ${m.code} ${m.pointer || ''}: ${m.message}`);
        }
    }
    return issues.numErrors === 0 && issues.numWarnings === 0;
}

(async () => {
    let ok = process.argv.length > 2;
    for (const path of process.argv.slice(2)) {
        try {
            ok = (await check(path)) && ok;
        } catch (error) {
            console.log(`${path}: ${error}`);
            ok = false;
        }
    }
    process.exit(ok ? 0 : 1);
})();
