#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/core/Stream.h"
#include "tests/support/LogCapture.h"
#include "tests/support/StreamBytes.h"

namespace zav {
namespace {

using test::BytesStream;
using test::Written;

const char kBadState[] = "Неправильное состояние потока.";
const char kOverflow[] = "Невозможно считать данные. Буффер переполнен.";

TEST(Stream, GrowsByWholeIncrementsToFitAWrite) {
    Stream stream(0, 1024);
    EXPECT_EQ(stream.GetData(), nullptr);
    std::vector<char> block(3000, 'x');
    EXPECT_EQ(stream.Write(block.data(), 3000), kOk);
    EXPECT_EQ(stream.GetCapacity(), 3072);
    EXPECT_EQ(stream.GetSize(), 3072);
    EXPECT_EQ(stream.GetPosition(), 3000);
    EXPECT_EQ(stream.Write(block.data(), 72), kOk);
    EXPECT_EQ(stream.GetCapacity(), 3072);
    EXPECT_EQ(stream.Write(block.data(), 1), kOk);
    EXPECT_EQ(stream.GetCapacity(), 4096);
    EXPECT_EQ(Written(stream).substr(0, 3), "xxx");

    Stream preallocated(16, 0);
    EXPECT_EQ(preallocated.GetSize(), 16);
    EXPECT_EQ(preallocated.WriteDouble(1.0), kOk);
    EXPECT_EQ(preallocated.WriteDouble(2.0), kOk);
    EXPECT_EQ(preallocated.GetCapacity(), 16);
}

TEST(Stream, ZeroIncrementRefusesTheFirstWriteThatDoesNotFit) {
    test::LogCapture capture;
    Stream stream(0, 0);
    capture.Clear();
    EXPECT_EQ(stream.WriteInt32(1), kFailed);
    EXPECT_EQ(capture.Texts(), (std::vector<std::string>{"Приращение буффера равно 0.",
                                                         "Невозможно записать данные вследствие малого размера буффера."}));
    EXPECT_EQ(capture.Lines()[0].level, kLogWarning);
    EXPECT_EQ(stream.GetState(), kFailed);
    capture.Clear();
    EXPECT_EQ(stream.WriteInt8(1), kFailed);
    EXPECT_TRUE(capture.Has(kLogWarning, kBadState));
}

TEST(Stream, StateIsStickyAfterAFailedRead) {
    test::LogCapture capture;
    BytesStream stream(std::string(10, '\x01'));
    ASSERT_EQ(stream.SetPosition(8), kOk);
    int32_t value = 7;
    EXPECT_EQ(stream.ReadInt32(value), kFailed);
    EXPECT_EQ(value, 7);
    EXPECT_TRUE(capture.Has(kLogWarning, kOverflow));
    capture.Clear();
    int8_t byte = 0;
    EXPECT_EQ(stream.ReadInt8(byte), kFailed);  // a byte is left, but the stream is spent
    EXPECT_TRUE(capture.Has(kLogWarning, kBadState));
    EXPECT_EQ(stream.WriteInt8(1), kFailed);
    EXPECT_EQ(stream.GetState(), kFailed);
}

TEST(Stream, ReadingWithoutABufferFails) {
    test::LogCapture capture;
    Stream stream(0, 1024);
    int8_t byte = 0;
    EXPECT_EQ(stream.ReadInt8(byte), kFailed);
    EXPECT_TRUE(capture.Has(kLogWarning, "Невозможно считать данные. Буффер не существует."));
}

TEST(Stream, NegativeAndOverflowingCountsAreRefused) {
    char buffer[8] = {};
    {
        Stream stream(0, 1024);
        EXPECT_EQ(stream.Write(buffer, -1), kFailed);
        EXPECT_EQ(stream.GetPosition(), 0);
    }
    {
        BytesStream stream("12345678");
        EXPECT_EQ(stream.Read(buffer, -4), kFailed);
        EXPECT_EQ(stream.GetPosition(), 0);
    }
    {
        // The end of the read would overflow a 32-bit position.
        BytesStream stream("12345678");
        ASSERT_EQ(stream.SetPosition(4), kOk);
        test::LogCapture capture;
        EXPECT_EQ(stream.Read(buffer, INT32_MAX), kFailed);
        EXPECT_TRUE(capture.Has(kLogWarning, kOverflow));
    }
    {
        // Growing that far would pass 2 GiB: refused before allocating.
        Stream stream(0, 1 << 20);
        ASSERT_EQ(stream.WriteInt32(0), kOk);
        test::LogCapture capture;
        EXPECT_EQ(stream.Write(buffer, INT32_MAX), kFailed);
        EXPECT_TRUE(capture.Has(kLogWarning, "Невозможно записать данные вследствие малого размера буффера."));
        EXPECT_EQ(stream.GetCapacity(), 1 << 20);
    }
    BytesStream stream("1234");
    EXPECT_EQ(stream.SetPosition(5), kFailed);
    EXPECT_EQ(stream.SetPosition(-1), kFailed);
    EXPECT_EQ(stream.SetPosition(4), kOk);
}

TEST(Stream, TypedValuesUseLittleEndianEncodings) {
    Stream stream(0, 64);
    stream.WriteInt8(-2);
    stream.WriteInt16(0x1234);
    stream.WriteInt32(-1);
    stream.WriteFloat(1.0f);
    stream.WriteDouble(-2.0);
    stream.WriteBool(true);
    stream.WriteBool(false);
    stream.WriteString("Имя");
    stream.WriteString("");
    stream.WriteVersion({0, 1, 2});
    ASSERT_EQ(stream.GetState(), kOk);
    const std::string expected = std::string("\xFE\x34\x12\xFF\xFF\xFF\xFF\x00\x00\x80\x3F", 11) +
                                 std::string("\x00\x00\x00\x00\x00\x00\x00\xC0\x01\x00", 10) +
                                 std::string("\x03\x00\x00\x00\xC8\xEC\xFF", 7) + std::string(4, '\0') +
                                 std::string("\x00\x00\x00\x00\x01\x00\x00\x00\x02\x00\x00\x00", 12);
    EXPECT_EQ(Written(stream), expected);

    BytesStream reader(expected);
    int8_t i8 = 0;
    int16_t i16 = 0;
    int32_t i32 = 0;
    float f = 0;
    double d = 0;
    bool yes = false, no = true;
    String text, empty("x");
    Version version;
    reader.ReadInt8(i8);
    reader.ReadInt16(i16);
    reader.ReadInt32(i32);
    reader.ReadFloat(f);
    reader.ReadDouble(d);
    reader.ReadBool(yes);
    reader.ReadBool(no);
    reader.ReadString(text);
    reader.ReadString(empty);
    EXPECT_EQ(reader.ReadVersion(version), kOk);
    EXPECT_EQ(i8, -2);
    EXPECT_EQ(i16, 0x1234);
    EXPECT_EQ(i32, -1);
    EXPECT_EQ(f, 1.0f);
    EXPECT_EQ(d, -2.0);
    EXPECT_TRUE(yes);
    EXPECT_FALSE(no);
    EXPECT_EQ(text, "Имя");
    EXPECT_EQ(empty, "");
    EXPECT_TRUE(version == (Version{0, 1, 2}));
}

TEST(Stream, CompoundValuesRoundTripAndTransformsLoseTheirFlags) {
    Stream stream(0, 16);
    Transform transform;
    transform.scale = {1, 2, 3};
    transform.rotation = {0.5f, 0.5f, 0.5f, 0.5f};
    transform.translation = {-1, -2, -3};
    stream.WriteVector3({1, 2, 3});
    stream.WriteVector4({4, 5, 6, 7});
    stream.WriteQuaternion({0, 0, 1, 0});
    stream.WriteColor({0.25f, 0.5f, 0.75f, 1});
    stream.WriteTransform(transform);
    EXPECT_EQ(stream.GetPosition(), 12 + 16 + 16 + 16 + 40);
    // A colour is r, g, b, a in order.
    float red = 0;
    std::memcpy(&red, stream.GetData() + 44, 4);
    EXPECT_EQ(red, 0.25f);

    BytesStream reader(Written(stream));
    Vector3 v3;
    Vector4 v4;
    Quaternion q;
    Color color;
    Transform read;
    reader.ReadVector3(v3);
    reader.ReadVector4(v4);
    reader.ReadQuaternion(q);
    reader.ReadColor(color);
    EXPECT_EQ(reader.ReadTransform(read), kOk);
    EXPECT_TRUE(v3 == (Vector3{1, 2, 3}));
    EXPECT_TRUE(v4 == (Vector4{4, 5, 6, 7}));
    EXPECT_TRUE(q == (Quaternion{0, 0, 1, 0}));
    EXPECT_TRUE(color == (Color{0.25f, 0.5f, 0.75f, 1}));
    EXPECT_TRUE(read.scale == transform.scale && read.rotation == transform.rotation &&
                read.translation == transform.translation);
    EXPECT_FALSE(read.isIdentity);
    EXPECT_FALSE(read.isRotationIdentity);
}

TEST(Stream, ReadersLeaveTheirTargetUnchangedOnFailure) {
    BytesStream eightBytes(std::string("\x01\x00\x00\x00\x02\x00\x00\x00", 8));
    Version version{7, 8, 9};
    EXPECT_EQ(eightBytes.ReadVersion(version), kFailed);
    EXPECT_TRUE(version == (Version{7, 8, 9}));

    BytesStream twoFloats(std::string(8, '\0'));
    Vector3 vector{1, 1, 1};
    EXPECT_EQ(twoFloats.ReadVector3(vector), kFailed);
    EXPECT_TRUE(vector == (Vector3{1, 1, 1}));

    BytesStream boolByte(std::string("\x02", 1));
    bool flag = false;
    EXPECT_EQ(boolByte.ReadBool(flag), kOk);
    EXPECT_TRUE(flag);
}

TEST(Stream, StringLengthsAreCheckedAgainstWhatIsLeft) {
    struct Case {
        std::string bytes;
        bool fits;
    };
    const Case cases[] = {
        {std::string("\xFB\xFF\xFF\xFF" "abc", 7), false},  // -5
        {std::string("\xFF\xFF\xFF\x7F" "abc", 7), false},  // 2 GiB - 1
        {std::string("\x04\x00\x00\x00" "abc", 7), false},  // one byte short
        {std::string("\x03\x00\x00\x00" "abc", 7), true},
    };
    for (const Case& c : cases) {
        test::LogCapture capture;
        BytesStream stream(c.bytes);
        String text("unchanged");
        EXPECT_EQ(stream.ReadString(text), c.fits ? kOk : kFailed);
        EXPECT_EQ(text, c.fits ? "abc" : "unchanged");
        EXPECT_EQ(capture.Has(kLogWarning, kOverflow), !c.fits);
    }
}

}  // namespace
}  // namespace zav
