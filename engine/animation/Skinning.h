#pragma once

#include "engine/core/Values.h"
#include "engine/scene/Matrix4.h"

namespace zav {

// One frame of skinning: each target vertex is the weighted sum of its
// source vertex transformed by up to four bone matrices. The first
// influence always counts, the others only with a weight above 0; an
// influence whose bone index is not in 0..matrixCount-1 is skipped.
struct SkinningJob {
    const Vector3* sources = nullptr;
    Vector3* targets = nullptr;
    int vertexCount = 0;
    const Vector4* weights = nullptr;      // one per vertex
    const Vector4* boneIndices = nullptr;  // one per vertex, truncated to integers
    const Matrix4* matrices = nullptr;
    int matrixCount = 0;
};

// Transforms by each matrix (with the division by w) and sums.
void SkinPlain(const SkinningJob& job);
// Blends the matrices with packed arithmetic and transforms once. For
// affine bone matrices both routines agree to rounding.
void SkinPacked(const SkinningJob& job);
// The packed routine when the processor has it (decided once per process).
void Skin(const SkinningJob& job);

}  // namespace zav
