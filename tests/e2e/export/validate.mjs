// node validate.mjs FILE.glb|FILE.gltf: the Khronos glTF-Validator's verdict, one line:
// "errors E warnings W infos I hints H animations A materials M vertices V"; exit status 1
// when there is an error or a warning (each printed first).
import { readFile } from 'node:fs/promises';
import path from 'node:path';
import validator from 'gltf-validator';

const file = process.argv[2];
const bytes = new Uint8Array(await readFile(file));
const report = await validator.validateBytes(bytes, {
  uri: path.basename(file),
  maxIssues: 0,
  externalResourceFunction: async (uri) =>
    new Uint8Array(await readFile(path.join(path.dirname(file), decodeURIComponent(uri)))),
});
const { issues, info } = report;
for (const message of issues.messages)
  if (message.severity <= 1)
    console.error(`${message.severity === 0 ? 'error' : 'warning'} ${message.code}: ` +
                  `${message.message} at ${message.pointer ?? ''}`);
console.log(`errors ${issues.numErrors} warnings ${issues.numWarnings} infos ${issues.numInfos} ` +
            `hints ${issues.numHints} animations ${info.animationCount} ` +
            `materials ${info.materialCount} vertices ${info.totalVertexCount} ` +
            `extensions ${(info.extensionsUsed ?? []).join(',') || '-'}`);
process.exit(issues.numErrors + issues.numWarnings > 0 ? 1 : 0);
