// node check_three.mjs OUT.glb REFERENCE.json FPS SCALE TOLERANCE [BODY]
// Loads the file with three.js's GLTFLoader and checks it against the program's own poses
// (export_reference): the clips are the recorded groups, in order; the body mesh's target
// names are the frame names; at each sampled time the morph-blended, transformed positions,
// turned back into the model's axes, equal the program's blended frame within TOLERANCE times
// the model's size. Prints "clips N samples S largest error E (of size Z)".
import { readFile } from 'node:fs/promises';
import * as THREE from 'three';
import { GLTFLoader } from 'three/addons/loaders/GLTFLoader.js';

const [file, referenceFile, fpsText, scaleText, toleranceText, bodyName] = process.argv.slice(2);
const fps = Number(fpsText), scale = Number(scaleText), tolerance = Number(toleranceText);
const reference = JSON.parse(await readFile(referenceFile, 'utf8'));
const data = await readFile(file);

const loader = new GLTFLoader();
// No images in node: every texture is an empty one (the validator judges the images).
loader.register(() => ({ name: 'stub_textures', loadTexture: async () => new THREE.Texture() }));
const gltf = await new Promise((resolve, reject) =>
  loader.parse(data.buffer.slice(data.byteOffset, data.byteOffset + data.byteLength), '',
               resolve, reject));

function fail(message) {
  console.error(`FAIL: ${message}`);
  process.exit(1);
}

const names = gltf.animations.map((clip) => clip.name);
const expected = reference.animations.map((a) => a.name);
if (JSON.stringify(names) !== JSON.stringify(expected))
  fail(`clips ${JSON.stringify(names)}, expected ${JSON.stringify(expected)}`);

let body = null;
gltf.scene.traverse((object) => {
  if (object.isMesh && (bodyName === undefined || object.name === bodyName) && !body) body = object;
});
if (!body) fail('no body mesh');
const meshDef = gltf.parser.json.meshes[0];
if (JSON.stringify(meshDef.extras?.targetNames) !== JSON.stringify(reference.frameNames))
  fail('target names differ from the frame names');
if (body.morphTargetInfluences.length !== reference.frames)
  fail(`${body.morphTargetInfluences.length} morph targets, expected ${reference.frames}`);
const geometry = body.geometry;
const base = geometry.attributes.position;
if (base.count !== reference.vertices) fail(`${base.count} vertices, expected ${reference.vertices}`);
const uv = geometry.attributes.uv;
for (let v = 0; v < base.count; ++v)
  if (Math.abs(uv.getX(v) - reference.texCoords[2 * v]) > 1e-4 ||
      Math.abs(uv.getY(v) - reference.texCoords[2 * v + 1]) > 1e-4)
    fail(`texture coordinate of vertex ${v} differs`);

// The model's size: the diagonal of its first pose's box.
const first = reference.animations[0].samples[0].positions;
const low = [Infinity, Infinity, Infinity], high = [-Infinity, -Infinity, -Infinity];
for (let i = 0; i < first.length; ++i) {
  low[i % 3] = Math.min(low[i % 3], first[i]);
  high[i % 3] = Math.max(high[i % 3], first[i]);
}
const size = Math.hypot(high[0] - low[0], high[1] - low[1], high[2] - low[2]);

const mixer = new THREE.AnimationMixer(gltf.scene);
const targets = geometry.morphAttributes.position;
let largest = 0, samples = 0;
for (const [index, animation] of reference.animations.entries()) {
  mixer.stopAllAction();
  mixer.clipAction(gltf.animations[index]).play();
  for (const sample of animation.samples) {
    mixer.setTime(sample.keyframes / fps);
    gltf.scene.updateMatrixWorld(true);
    const influences = body.morphTargetInfluences;
    const point = new THREE.Vector3();
    for (let v = 0; v < base.count; ++v) {
      point.fromBufferAttribute(base, v);
      for (let t = 0; t < targets.length; ++t)
        if (influences[t] !== 0) {
          point.x += influences[t] * targets[t].getX(v);
          point.y += influences[t] * targets[t].getY(v);
          point.z += influences[t] * targets[t].getZ(v);
        }
      point.applyMatrix4(body.matrixWorld);
      // glTF's X, Y, Z are the model's y, z, x.
      const model = [point.z / scale, point.x / scale, point.y / scale];
      for (let axis = 0; axis < 3; ++axis)
        largest = Math.max(largest, Math.abs(model[axis] - sample.positions[3 * v + axis]));
    }
    ++samples;
  }
}
console.log(`clips ${names.length} samples ${samples} largest error ${largest.toPrecision(3)} ` +
            `(of size ${size.toPrecision(4)})`);
if (!(largest <= tolerance * size)) fail(`positions differ by ${largest}, more than ${tolerance} of ${size}`);
