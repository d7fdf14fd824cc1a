#pragma once

#include <array>
#include <cstdint>

#include "engine/scene/Buffer.h"
#include "engine/scene/Node.h"

namespace zav {

class BoundingVolume;
class GeometryNodeEffect;

enum PrimitiveType : int {
    kPrimitivePoints = 0,
    kPrimitiveLines = 1,
    kPrimitiveLineStrip = 2,
    kPrimitiveTriangles = 3,
    kPrimitiveTriangleStrip = 4,  // no class of its own; drawn n - 2 triangles from n indices
};

// A node with drawable vertex data: buffers of positions and attributes, an
// index buffer, a bounding volume in its own space and the effect that
// draws it. Concrete classes fix the primitive kind.
class GeometryNode : public Node {
    ZAV_OBJECT_CLASS(GeometryNode, Node)

    static constexpr int kTexCoordSets = 8;

    explicit GeometryNode(const String& name = String());
    ~GeometryNode() override;

    void Update(double time) override;
    void Render(Renderer& renderer) override;
    void UpdateWorldVolume() override;
    Object* FindObject(const String& name) override;
    void CollectObjects(const TypeInfo* type, Array<Object*>& objects) override;
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;
    void DropReferences() override;

    virtual int GetPrimitiveType() const = 0;
    virtual void GenerateNormals() {}
    virtual void GenerateTangents(int texCoordSet) {}
    // Fits the local volume around the vertices.
    virtual void UpdateLocalVolume();
    // UpdateLocalVolume, then normals and tangents (set 0) as asked.
    void Rebuild(bool normals, bool tangents);
    // Draws the node through its effect's passes now; the renderer calls it
    // for deferred (blended) nodes.
    virtual void DrawDeferred(Renderer& renderer);

    // Each setter replaces its reference; all but SetEffect tell the effect
    // that the vertex layout changed. New vertices drop the tangents.
    void SetEffect(GeometryNodeEffect* effect);
    void SetVertices(Vector3Buffer* vertices);
    void SetPointSizes(FloatBuffer* pointSizes);
    void SetColors(ColorBuffer* colors);
    void SetNormals(Vector3Buffer* normals);
    void SetTangents(Vector3Buffer* tangents);
    // Sets 0-7; a float, 2-, 3- or 4-component buffer. 1 for another set or
    // another kind of buffer.
    int SetTexCoords(int set, Buffer* texCoords);
    void SetIndices(IntBuffer* indices);

    GeometryNodeEffect* GetEffect() const { return effect_.Get(); }
    Vector3Buffer* GetVertices() const { return vertices_.Get(); }
    FloatBuffer* GetPointSizes() const { return pointSizes_.Get(); }
    ColorBuffer* GetColors() const { return colors_.Get(); }
    Vector3Buffer* GetNormals() const { return normals_.Get(); }
    Vector3Buffer* GetTangents() const { return tangents_.Get(); }
    Buffer* GetTexCoords(int set) const;
    IntBuffer* GetIndices() const { return indices_.Get(); }
    BoundingVolume* GetLocalVolume() const { return localVolume_.Get(); }

    // Whether `buffer` can be a texture coordinate set.
    static bool IsTexCoordBuffer(const Buffer* buffer);

protected:
    // Draws the current node once for an applied pass.
    virtual void DrawPass(Renderer& renderer);
    // Applies every pass and draws; then switches off the lights the pass
    // switched on.
    void DrawThroughPasses(Renderer& renderer);
    void LayoutChanged();

    Ref<BoundingVolume> localVolume_;

private:
    // What FindObject and CollectObjects walk into, in order.
    std::array<Object*, 15> SearchedParts() const;

    Ref<GeometryNodeEffect> effect_;
    Ref<Vector3Buffer> vertices_;
    Ref<FloatBuffer> pointSizes_;
    Ref<ColorBuffer> colors_;
    Ref<Vector3Buffer> normals_;
    Ref<Vector3Buffer> tangents_;
    Ref<Buffer> texCoords_[kTexCoordSets];
    Ref<IntBuffer> indices_;
};

// Primitive kinds without behaviour of their own.
class Points : public GeometryNode {
    ZAV_OBJECT_CLASS(Points, GeometryNode)
    explicit Points(const String& name = String()) : GeometryNode(name) {}
    int GetPrimitiveType() const override { return kPrimitivePoints; }
};

class Lines : public GeometryNode {
    ZAV_OBJECT_CLASS(Lines, GeometryNode)
    explicit Lines(const String& name = String()) : GeometryNode(name) {}
    int GetPrimitiveType() const override { return kPrimitiveLines; }
};

class StripLines : public GeometryNode {
    ZAV_OBJECT_CLASS(StripLines, GeometryNode)
    explicit StripLines(const String& name = String()) : GeometryNode(name) {}
    int GetPrimitiveType() const override { return kPrimitiveLineStrip; }
};

// Triangle lists, three indices per triangle; can compute their normals and
// tangents. Triangles with an index outside the vertex (or texture
// coordinate) arrays are skipped.
class Triangles : public GeometryNode {
    ZAV_OBJECT_CLASS(Triangles, GeometryNode)
    explicit Triangles(const String& name = String()) : GeometryNode(name) {}
    int GetPrimitiveType() const override { return kPrimitiveTriangles; }
    // Area-weighted vertex normals, normalised.
    void GenerateNormals() override;
    // Tangents along u of texture coordinate set `texCoordSet`.
    void GenerateTangents(int texCoordSet) override;
};

}  // namespace zav
