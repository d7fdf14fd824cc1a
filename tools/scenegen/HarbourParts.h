#pragma once

#include <vector>

#include "tools/scenegen/Mesh.h"

namespace zav::scenegen {

// Where the harbour's landmarks stand, shared by the parts, the lights, the
// sounds and the camera shots.
constexpr Vector3 kLighthouse{24.0f, 0.0f, 30.0f};
constexpr float kLampRoom = 16.0f;  // height of the lighthouse's lamp above its foot
constexpr Vector3 kBoat{6.0f, 0.0f, -20.0f};
constexpr Vector3 kBuoy{-12.0f, 0.0f, 14.0f};
constexpr Vector3 kFlagPole{0.0f, 1.4f, -1.0f};  // at the pier's end
constexpr float kLampHeight = 4.0f;             // lanterns above their posts' feet
// The street lamps' feet: on the quay's edge and along the pier.
const std::vector<Vector3>& LampFeet();

// The solid parts, in their own space (the boat and the lighthouse around
// their origin, the rest in the harbour's).
Mesh Water(int cells, float size);
Mesh Quay();
Mesh Pier();
Mesh LampPosts();
Mesh Boat();
Mesh Lighthouse();
Mesh Houses();      // brick walls along the back of the quay
Mesh Roofs();       // their roofs
Mesh Windows();     // their lit windows, three coordinates picking a slice of the glass
Mesh BoatWindows(); // the boat cabin's windows, the same way
Mesh Buoy();
Mesh Reeds();       // blades at the shore, their bases at y = 0
// The inside of a sphere of `radius`, its texture coordinates the
// directions from its centre (for a cube map).
Mesh SkyDome(float radius, int rings, int segments);
// A square of `size` facing -z, texture coordinates 0..1.
Mesh Billboard(float size);

// The flag: a grid along +x from the pole, with the bone weights and bone
// indices of a skin of `bones` bones spaced along its length.
struct SkinnedMesh {
    Mesh mesh;
    std::vector<Vector4> weights;
    std::vector<Vector4> boneIndices;
};
SkinnedMesh Flag(float length, float height, int bones);

// Line work: the boats' rigging (pairs), the railing along the quay's edge
// (a strip) and the stars (points).
std::vector<Vector3> Rigging();
std::vector<Vector3> Railing();
std::vector<Vector3> Stars(int count, float radius);

}  // namespace zav::scenegen
