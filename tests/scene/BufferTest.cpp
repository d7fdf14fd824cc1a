#include <gtest/gtest.h>

#include <cstring>

#include "engine/scene/Buffer.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/LogCapture.h"

namespace zav {
namespace {

using test::Int32Bytes;
using test::RecordHeader;

class BufferRecord : public test::EngineFixture {};

// The bytes a typed buffer's record would have with `count` and `payload`.
std::string BufferStream(const std::string& type, int32_t count, const std::string& payload) {
    return RecordHeader(5, type) + test::EmptyObjectRecord() + Int32Bytes(count) + payload;
}

TEST_F(BufferRecord, Vector3BufferWritesItsCountAndElementBytes) {
    Ref<Vector3Buffer> buffer(new Vector3Buffer(2));
    (*buffer)[0] = {1, 2, 3};
    (*buffer)[1] = {4, 5, 6};
    EXPECT_EQ(buffer->GetDataSize(), 24);
    std::string bytes = test::SaveToBytes(buffer.Get());
    std::string elements(reinterpret_cast<const char*>(buffer->GetData()), 24);
    EXPECT_EQ(bytes.substr(bytes.size() - 28), Int32Bytes(2) + elements);

    Ref<Vector3Buffer> loaded = test::RoundTrip(buffer.Get());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetCount(), 2);
    EXPECT_EQ((*loaded)[1], (Vector3{4, 5, 6}));
    EXPECT_TRUE(loaded->IsDirty());
}

TEST_F(BufferRecord, EmptyBufferHasNoDataAndStillLoadsDirty) {
    Ref<FloatBuffer> empty(new FloatBuffer());
    std::string bytes = test::SaveToBytes(empty.Get());
    EXPECT_EQ(bytes.substr(bytes.size() - 4), Int32Bytes(0));
    empty->SetDirty(false);
    Ref<FloatBuffer> loaded = test::RoundTrip(empty.Get());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetCount(), 0);
    EXPECT_EQ(loaded->GetData(), nullptr);
    EXPECT_TRUE(loaded->IsDirty());
}

TEST_F(BufferRecord, ColorAndVector4BuffersShareTheirElementBytes) {
    Ref<ColorBuffer> colors(new ColorBuffer(1));
    Ref<Vector4Buffer> vectors(new Vector4Buffer(1));
    (*colors)[0] = {0.1f, 0.2f, 0.3f, 0.4f};
    (*vectors)[0] = {0.1f, 0.2f, 0.3f, 0.4f};
    std::string a = test::SaveToBytes(colors.Get()), b = test::SaveToBytes(vectors.Get());
    EXPECT_EQ(a.substr(a.size() - 20), b.substr(b.size() - 20));
    EXPECT_NE(a.find("ZAV.ColorBuffer"), std::string::npos);
    EXPECT_NE(b.find("ZAV.Vector4Buffer"), std::string::npos);
}

TEST_F(BufferRecord, HostileCountsFailBeforeAnythingIsAllocated) {
    test::LogCapture capture;
    for (int32_t count : {-1, 3, 0x7fffffff, 0x40000000}) {
        capture.Clear();
        int state = 0;
        // Two elements' worth of bytes follow, whatever the count claims.
        Ref<Object> loaded =
            test::LoadFromBytes(BufferStream("ZAV.Vector3Buffer", count, std::string(24, '\0')), &state);
        EXPECT_NE(state, kOk) << count;
        EXPECT_FALSE(loaded);
        EXPECT_TRUE(capture.HasPrefix(kLogError, "Невозможно загрузить количество данных буффера. ID[")) << count;
    }
    int state = -1;
    Ref<Object> exact = test::LoadFromBytes(BufferStream("ZAV.IntBuffer", 6, std::string(24, '\0')), &state);
    EXPECT_EQ(state, kOk);
    ASSERT_TRUE(exact);
    EXPECT_EQ(ObjectCast<IntBuffer>(exact.Get())->GetCount(), 6);
}

TEST_F(BufferRecord, TheAbstractBaseCannotBeRead) {
    test::LogCapture capture;
    int state = 0;
    EXPECT_FALSE(test::LoadFromBytes(BufferStream("ZAV.Buffer", 0, ""), &state));
    EXPECT_NE(state, kOk);
    EXPECT_TRUE(capture.HasPrefix(kLogError, "Невозможно создать объект. RTTI[ZAV.Buffer]"));
}

TEST(Buffer, ConstructionAdoptsOrAllocatesZeroedElements) {
    auto* data = new float[3]{1, 2, 3};
    Ref<FloatBuffer> adopted(new FloatBuffer(3, data));
    EXPECT_EQ(adopted->GetData(), data);
    Ref<Vector2Buffer> fresh(new Vector2Buffer(4));
    EXPECT_EQ(fresh->GetCount(), 4);
    EXPECT_EQ((*fresh)[3], (Vector2{0, 0}));
    Ref<IntBuffer> negative(new IntBuffer(-5));
    EXPECT_EQ(negative->GetCount(), 0);
    EXPECT_EQ(negative->GetData(), nullptr);
}

TEST(Buffer, DestructionAsksItsRendererToReleaseTheDeviceCopy) {
    Ref<test::RecordingRenderer> renderer(new test::RecordingRenderer());
    int id = 0;
    {
        Ref<IntBuffer> buffer(new IntBuffer(3));
        id = buffer->GetId();
        buffer->Attach(renderer.Get(), buffer.Get());
        buffer->SetDirty(false);
    }
    EXPECT_EQ(renderer->calls, std::vector<std::string>{"ReleaseDeviceObject " + std::to_string(id)});
    EXPECT_EQ(renderer->RefCount(), 1);  // the buffer's reference went with it
    { Ref<IntBuffer> neverUploaded(new IntBuffer(3)); }
    EXPECT_EQ(renderer->calls.size(), 1u);
}

}  // namespace
}  // namespace zav
