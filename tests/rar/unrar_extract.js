// Extracts a RAR archive with node-unrar-js (the official extractor compiled
// to WebAssembly): node unrar_extract.js ARCHIVE OUTDIR. The package is found
// through NODE_PATH. Exits with 1 when anything fails to extract.
'use strict';
const fs = require('fs');
const path = require('path');
const { createExtractorFromData } = require('node-unrar-js');

async function main() {
  const [archive, outDir] = process.argv.slice(2);
  if (!archive || !outDir) {
    console.error('usage: node unrar_extract.js ARCHIVE OUTDIR');
    process.exit(2);
  }
  const data = fs.readFileSync(archive);
  const buffer = data.buffer.slice(data.byteOffset, data.byteOffset + data.byteLength);
  const extractor = await createExtractorFromData({ data: buffer });
  const { files } = extractor.extract();
  for (const file of files) {
    const target = path.join(outDir, file.fileHeader.name);
    if (!path.resolve(target).startsWith(path.resolve(outDir))) throw new Error(`unsafe name ${file.fileHeader.name}`);
    if (file.fileHeader.flags.directory) {
      fs.mkdirSync(target, { recursive: true });
    } else {
      fs.mkdirSync(path.dirname(target), { recursive: true });
      fs.writeFileSync(target, file.extraction);
    }
  }
}

main().catch((error) => {
  console.error(`unrar_extract: ${error.reason || ''} ${error.message}`);
  process.exit(1);
});
