// Runs the Khronos glTF validator over .glb and .gltf files (and the .bin and .png files a .gltf
// names) and prints one line per file with its error and warning counts, then each such issue. Exits
// with 1 when any file has an error or a warning, 2 when the validator is not installed.
// Usage: node scripts/validate-gltf.js FILE...   (the validator's folder may be set in
// TAVRO_GLTF_VALIDATOR; scripts/install-deps.sh installs it in the default one)
'use strict';
const fs = require('fs');
const path = require('path');

const validatorFolder = process.env.TAVRO_GLTF_VALIDATOR || '/usr/local/share/tavro/gltf-validator';
let validator;
try {
    validator = require(path.join(validatorFolder, 'node_modules', 'gltf-validator'));
} catch (error) {
    console.error(`validate-gltf: the glTF validator is not installed in ${validatorFolder} ` +
                  '(scripts/install-deps.sh installs it)');
    process.exit(2);
}

async function validate(file) {
    const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {
        uri: path.basename(file),
        maxIssues: 100,
        externalResourceFunction: (uri) => fs.promises.readFile(
            path.resolve(path.dirname(file), decodeURIComponent(uri))).then((data) => new Uint8Array(data)),
    });
    const { numErrors, numWarnings, messages } = report.issues;
    console.log(`${file}: ${numErrors} errors, ${numWarnings} warnings`);
    for (const message of messages.filter((m) => m.severity <= 1)) {
        console.log(`  ${message.severity === 0 ? 'error' : 'warning'} ${message.code} ${message.pointer || ''}: ` +
                    message.message);
    }
    return numErrors + numWarnings === 0;
}

(async () => {
    const files = process.argv.slice(2);
    if (files.length === 0) {
        console.error('validate-gltf: no file given');
        process.exit(2);
    }
    let clean = 0;
    for (const file of files) {
        try {
            if (await validate(file)) {
                ++clean;
            }
        } catch (error) {
            console.log(`${file}: cannot be validated: ${error}`);
        }
    }
    console.log(`validate-gltf: ${clean} of ${files.length} files without errors or warnings`);
    process.exit(clean === files.length ? 0 : 1);
})();
