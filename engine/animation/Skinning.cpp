#include "engine/animation/Skinning.h"

#include "engine/scene/PackedFloats.h"
#include "engine/scene/VectorMath.h"

namespace zav {

namespace {

// The influences of one vertex that count: a weight and a valid bone.
struct Influence {
    float weight;
    int bone;
};

int Influences(const SkinningJob& job, int vertex, Influence (&out)[4]) {
    const Vector4& w = job.weights[vertex];
    const Vector4& j = job.boneIndices[vertex];
    const float weights[4] = {w.x, w.y, w.z, w.w};
    const float bones[4] = {j.x, j.y, j.z, j.w};
    int count = 0;
    for (int k = 0; k < 4; ++k) {
        if (k > 0 && !(weights[k] > 0.0f)) continue;
        // Checked as a float first: converting NaN or a huge value is undefined.
        if (!(bones[k] >= 0.0f && bones[k] < static_cast<float>(job.matrixCount))) continue;
        const int bone = static_cast<int>(bones[k]);
        if (bone < job.matrixCount) out[count++] = {weights[k], bone};
    }
    return count;
}

}  // namespace

void SkinPlain(const SkinningJob& job) {
    Influence influences[4];
    for (int v = 0; v < job.vertexCount; ++v) {
        const int count = Influences(job, v, influences);
        Vector3 sum;
        for (int k = 0; k < count; ++k)
            sum += TransformCoordinate(job.matrices[influences[k].bone], job.sources[v]) * influences[k].weight;
        job.targets[v] = sum;
    }
}

#if ZAV_HAS_PACKED_FLOATS

void SkinPacked(const SkinningJob& job) {
    Influence influences[4];
    for (int v = 0; v < job.vertexCount; ++v) {
        const int count = Influences(job, v, influences);
        __m128 rows[4] = {_mm_setzero_ps(), _mm_setzero_ps(), _mm_setzero_ps(), _mm_setzero_ps()};
        for (int k = 0; k < count; ++k) {
            const __m128 weight = _mm_set1_ps(influences[k].weight);
            const Matrix4& m = job.matrices[influences[k].bone];
            for (int r = 0; r < 4; ++r) rows[r] = _mm_add_ps(rows[r], _mm_mul_ps(_mm_loadu_ps(m.m[r]), weight));
        }
        const Vector3& s = job.sources[v];
        __m128 p = _mm_add_ps(_mm_add_ps(_mm_mul_ps(_mm_set1_ps(s.x), rows[0]), _mm_mul_ps(_mm_set1_ps(s.y), rows[1])),
                              _mm_add_ps(_mm_mul_ps(_mm_set1_ps(s.z), rows[2]), rows[3]));
        alignas(16) float out[4];
        _mm_store_ps(out, p);
        job.targets[v] = {out[0], out[1], out[2]};
    }
}

#else

void SkinPacked(const SkinningJob& job) { SkinPlain(job); }

#endif

void Skin(const SkinningJob& job) {
    static void (*const routine)(const SkinningJob&) = HasPackedFloatInstructions() ? &SkinPacked : &SkinPlain;
    routine(job);
}

}  // namespace zav
