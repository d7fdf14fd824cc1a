#include <cfloat>
#include <cmath>
#include <new>

#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/scene/GeometryNode.h"
#include "engine/scene/VectorMath.h"

namespace zav {

ZAV_REGISTER_CLASS(Triangles);

namespace {

bool InRange(int32_t index, int count) { return index >= 0 && index < count; }

void NormalizeAll(Vector3Buffer& vectors) {
    for (int i = 0; i < vectors.GetCount(); ++i) vectors[i] = Normalize(vectors[i]);
}

// Floats per texture coordinate of a set that tangents can use; 0 for one
// they cannot (a float per vertex has no v).
int TexCoordStride(const Buffer* buffer) {
    if (buffer->IsKindOf(&Vector2Buffer::StaticType())) return 2;
    if (buffer->IsKindOf(&Vector3Buffer::StaticType())) return 3;
    if (buffer->IsKindOf(&Vector4Buffer::StaticType())) return 4;
    return 0;
}

}  // namespace

void Triangles::GenerateNormals() {
    IntBuffer* indices = GetIndices();
    Vector3Buffer* vertices = GetVertices();
    if (!indices || !vertices) return;
    const int vertexCount = vertices->GetCount();
    Ref<Vector3Buffer> normals = NewBuffer<Vector3Buffer>(vertexCount);
    if (!normals) {
        LogError("Недостаточно памяти для создания буффера нормалей. ID[%d] Имя[%s]", GetId(), GetName().CStr());
        SetNormals(nullptr);
        return;
    }
    const Vector3* v = vertices->Elements();
    const int32_t* index = indices->Elements();
    // Whole triangles only; one with an index outside the vertices is skipped.
    for (int t = 0; t + 3 <= indices->GetCount(); t += 3) {
        const int32_t i0 = index[t], i1 = index[t + 1], i2 = index[t + 2];
        if (!InRange(i0, vertexCount) || !InRange(i1, vertexCount) || !InRange(i2, vertexCount)) continue;
        // Not normalised: larger triangles weigh more.
        const Vector3 n = Cross(v[i1] - v[i0], v[i2] - v[i0]);
        (*normals)[i0] += n;
        (*normals)[i1] += n;
        (*normals)[i2] += n;
    }
    NormalizeAll(*normals);
    SetNormals(normals.Get());
}

void Triangles::GenerateTangents(int texCoordSet) {
    IntBuffer* indices = GetIndices();
    Vector3Buffer* vertices = GetVertices();
    Buffer* texCoords = GetTexCoords(texCoordSet);
    if (!indices || !vertices || !texCoords) return;
    const int stride = TexCoordStride(texCoords);
    if (stride == 0) return;
    const int vertexCount = vertices->GetCount();
    Ref<Vector3Buffer> tangents = NewBuffer<Vector3Buffer>(vertexCount);
    if (!tangents) {
        LogError("Недостаточно памяти для создания буффера тангенсов. ID[%d] Имя[%s]", GetId(), GetName().CStr());
        SetTangents(nullptr);
        return;
    }
    const Vector3* p = vertices->Elements();
    const float* uv = static_cast<const float*>(texCoords->GetData());
    const int texCoordCount = texCoords->GetCount();
    const int32_t* index = indices->Elements();
    for (int t = 0; t + 3 <= indices->GetCount(); t += 3) {
        const int32_t a = index[t], b = index[t + 1], c = index[t + 2];
        if (!InRange(a, vertexCount) || !InRange(b, vertexCount) || !InRange(c, vertexCount) ||
            !InRange(a, texCoordCount) || !InRange(b, texCoordCount) || !InRange(c, texCoordCount))
            continue;
        const float* ta = uv + static_cast<size_t>(a) * stride;
        const float* tb = uv + static_cast<size_t>(b) * stride;
        const float* tc = uv + static_cast<size_t>(c) * stride;
        const float du1 = tb[0] - ta[0], dv1 = tb[1] - ta[1];
        const float du2 = tc[0] - ta[0], dv2 = tc[1] - ta[1];
        // With E1 = (dp1, du1, dv1) and E2 = (dp2, du2, dv2) per position
        // component, the tangent component is -(E1 x E2).y / (E1 x E2).x.
        // The divisor is the same for all three; a texture mapping that
        // collapses the triangle makes it vanish and the triangle is skipped.
        const float divisor = du1 * dv2 - dv1 * du2;
        if (!(std::fabs(divisor) > FLT_EPSILON * (std::fabs(du1 * dv2) + std::fabs(dv1 * du2)))) continue;
        const Vector3 e1 = p[b] - p[a], e2 = p[c] - p[a];
        const Vector3 tangent{-(dv1 * e2.x - e1.x * dv2) / divisor, -(dv1 * e2.y - e1.y * dv2) / divisor,
                              -(dv1 * e2.z - e1.z * dv2) / divisor};
        if (!IsFinite(tangent)) continue;
        (*tangents)[a] += tangent;
        (*tangents)[b] += tangent;
        (*tangents)[c] += tangent;
    }
    NormalizeAll(*tangents);
    SetTangents(tangents.Get());
}

}  // namespace zav
