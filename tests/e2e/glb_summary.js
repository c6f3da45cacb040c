// Prints what a viewer would show of an exported .glb, as one JSON line: the
// car nodes (and whether each has its two wheel sets and its channels), the
// rails', ties' and ground's triangles, the animation's length and the
// triangles of the whole scene, every mesh counted as often as a node shows it.
'use strict';
const fs = require('fs');

const bytes = fs.readFileSync(process.argv[2]);
const gltf = JSON.parse(bytes.subarray(20, 20 + bytes.readUInt32LE(12)).toString());
const triangles = (mesh) => mesh.primitives.reduce(
    (sum, p) => sum + gltf.accessors[p.indices].count / 3, 0);
const byName = (name) => gltf.nodes.findIndex((n) => n.name === name);
const meshTriangles = (name) => {
    const at = byName(name);
    return at < 0 || gltf.nodes[at].mesh === undefined ? 0 : triangles(gltf.meshes[gltf.nodes[at].mesh]);
};
const animation = (gltf.animations || [])[0];
const animated = new Set(animation ? animation.channels.map((c) => `${c.target.node} ${c.target.path}`) : []);
const cars = gltf.nodes.map((n, at) => ({n, at})).filter(({n}) => /^Car \d+$/.test(n.name));
const seconds = animation ? Math.max(...animation.samplers.map((s) => gltf.accessors[s.input].max[0])) : 0;
let total = 0;
const walk = (at) => {
    const node = gltf.nodes[at];
    total += node.mesh === undefined ? 0 : triangles(gltf.meshes[node.mesh]);
    (node.children || []).forEach(walk);
};
gltf.scenes[gltf.scene].nodes.forEach(walk);
console.log(JSON.stringify({
    cars: cars.length,
    cars_whole: cars.every(({n}) => (n.children || []).length === 2 && n.mesh !== undefined),
    cars_animated: cars.every(({at}) => animated.has(`${at} translation`) && animated.has(`${at} rotation`)),
    rails: meshTriangles('Rails'),
    ties: meshTriangles('Ties'),
    ground: meshTriangles('Ground'),
    light: byName('Light') >= 0 && gltf.extensionsUsed.includes('KHR_lights_punctual'),
    seconds,
    triangles: total,
}));
