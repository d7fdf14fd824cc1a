#include <gtest/gtest.h>

#include <string>

#include "engine/animation/Controller.h"
#include "engine/core/ClassRegistration.h"
#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/core/ObjectList.h"
#include "engine/core/Result.h"
#include "engine/core/Stream.h"
#include "tests/support/LogCapture.h"
#include "tests/support/SampleClasses.h"
#include "tests/support/StreamBytes.h"

namespace zav {

// Ignores every failure of its stream: shows that a record's result cannot
// clear an earlier failure.
class CarelessNode : public Object {
    ZAV_OBJECT_CLASS(CarelessNode, Object)

    int Save(Stream& stream) override {
        stream.WriteInt32(1);
        return kOk;
    }
    int Load(Stream& stream) override {
        int32_t ignored = 0;
        stream.ReadInt32(ignored);
        return kOk;
    }
};
ZAV_REGISTER_CLASS(CarelessNode);

namespace {

using test::BytesStream;
using test::Int32Bytes;
using test::LoadFromBytes;
using test::NameAndId;
using test::RecordHeader;
using test::SampleController;
using test::SampleNode;
using test::SaveToBytes;
using test::TextBytes;
using test::Written;

class Serialization : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(EngineInit(), kOk);
        nodesBefore_ = SampleNode::LiveCount();
        controllersBefore_ = SampleController::LiveCount();
    }
    void TearDown() override {
        SampleNode::BreakAllLinks();
        EXPECT_EQ(EngineShutdown(), kOk);
    }

    // Nothing created by a test's reads outlives it.
    void ExpectNothingLeaked() const {
        EXPECT_EQ(SampleNode::LiveCount(), nodesBefore_);
        EXPECT_EQ(SampleController::LiveCount(), controllersBefore_);
    }

    int nodesBefore_ = 0;
    int controllersBefore_ = 0;
};

// The record of a SampleNode named `name` with no controllers and default
// fields, its references null and its list empty.
std::string PlainNodeRecord(const std::string& name) {
    Stream stream(0, 64);
    stream.WriteInt32(0);  // controllers
    stream.WriteInt32(0);
    stream.WriteDouble(0.0);
    stream.WriteVector3({});
    stream.WriteColor({});
    stream.WriteTransform({});
    stream.WriteString("");
    stream.WriteInt32(-1);
    stream.WriteInt32(-1);
    stream.WriteInt32(0);
    return TextBytes(name) + Written(stream);
}

TEST_F(Serialization, RecordLayoutOfAnObject) {
    Ref<SampleNode> root(new SampleNode("Root"));
    std::string bytes = SaveToBytes(root.Get());
    EXPECT_EQ(bytes, RecordHeader(root->GetId(), "ZAV.SampleNode") + PlainNodeRecord("Root"));
    EXPECT_EQ(SaveToBytes(nullptr), std::string(4, '\xFF'));
    int state = -1;
    EXPECT_EQ(LoadFromBytes(std::string(4, '\xFF'), &state).Get(), nullptr);
    EXPECT_EQ(state, kOk);
}

TEST_F(Serialization, SharedObjectsAreWrittenOnceAndReadAsOneInstance) {
    Ref<SampleNode> root(new SampleNode("root"));
    Ref<SampleNode> left(new SampleNode("left")), right(new SampleNode("right"));
    Ref<SampleController> shared(new SampleController("shared"));
    shared->speed = 3.5f;
    root->children.AddUnique(left.Get());
    root->children.AddUnique(right.Get());
    left->AddController(shared.Get());
    right->AddController(shared.Get());
    std::string bytes = SaveToBytes(root.Get());
    size_t first = bytes.find("ZAV.SampleController");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(bytes.find("ZAV.SampleController", first + 1), std::string::npos);

    Ref<Object> read = LoadFromBytes(bytes);
    auto* copy = ObjectCast<SampleNode>(read.Get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->RefCount(), 1);  // only ours
    EXPECT_GT(copy->GetId(), shared->GetId());  // objects read get fresh IDs
    ASSERT_EQ(copy->children.Count(), 2);
    Object* a = copy->children.Get(0)->GetController(0);
    Object* b = copy->children.Get(1)->GetController(0);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->RefCount(), 2);
    EXPECT_EQ(static_cast<SampleController*>(a)->speed, 3.5f);
    EXPECT_EQ(static_cast<Controller*>(a)->GetOwner(), copy->children.Get(1));
}

TEST_F(Serialization, SelfReferencesAndCyclesComeBackAsTheSameInstances) {
    Ref<SampleNode> self(new SampleNode("self"));
    self->next = self;
    Ref<Object> readSelf = LoadFromBytes(SaveToBytes(self.Get()));
    auto* selfCopy = ObjectCast<SampleNode>(readSelf.Get());
    ASSERT_NE(selfCopy, nullptr);
    EXPECT_EQ(selfCopy->next.Get(), selfCopy);

    Ref<SampleNode> a(new SampleNode("a")), b(new SampleNode("b"));
    a->next = b;
    b->any = a;
    b->children.AddUnique(a.Get());
    Ref<Object> readA = LoadFromBytes(SaveToBytes(a.Get()));
    auto* aCopy = ObjectCast<SampleNode>(readA.Get());
    ASSERT_NE(aCopy, nullptr);
    SampleNode* bCopy = aCopy->next.Get();
    ASSERT_NE(bCopy, nullptr);
    EXPECT_EQ(bCopy->GetName(), "b");
    EXPECT_EQ(bCopy->any.Get(), aCopy);
    EXPECT_EQ(bCopy->children.Get(0), aCopy);
}

TEST_F(Serialization, ControllerListOrderIsRestored) {
    Ref<SampleNode> owner(new SampleNode("owner"));
    for (const char* name : {"A", "B", "C"}) owner->AddController(new SampleController(name));
    std::string bytes = SaveToBytes(owner.Get());
    EXPECT_LT(bytes.find("\x01\x00\x00\x00" "A", 0, 5), bytes.find("\x01\x00\x00\x00" "B", 0, 5));
    EXPECT_LT(bytes.find("\x01\x00\x00\x00" "B", 0, 5), bytes.find("\x01\x00\x00\x00" "C", 0, 5));
    Ref<Object> read = LoadFromBytes(bytes);
    ASSERT_EQ(read->GetControllerCount(), 3);
    EXPECT_EQ(read->GetController(0)->GetName(), "C");
    EXPECT_EQ(read->GetController(1)->GetName(), "B");
    EXPECT_EQ(read->GetController(2)->GetName(), "A");
    EXPECT_EQ(static_cast<Controller*>(read->GetController(0))->GetOwner(), read.Get());
}

TEST_F(Serialization, TypesThatCannotBeCreatedOrAreUnknownFailTheRead) {
    struct Case {
        const char* type;
        std::string message;
    };
    const Case cases[] = {
        {"ZAV.Controller", "Невозможно создать объект. RTTI[ZAV.Controller] ID[5]"},
        {"ZAV.PostUpdateController", "Невозможно создать объект. RTTI[ZAV.PostUpdateController] ID[5]"},
        {"ZAV.Object", "Невозможно создать объект. RTTI[ZAV.Object] ID[5]"},
        {"ZAV.Nothing", "Невозможно найти функцию создания объекта. RTTI[ZAV.Nothing] ID[5]"},
        {"ZAV.samplenode", "Невозможно найти функцию создания объекта. RTTI[ZAV.samplenode] ID[5]"},
    };
    for (const Case& c : cases) {
        test::LogCapture capture;
        int state = kOk;
        std::string bytes = RecordHeader(5, c.type) + TextBytes("x") + Int32Bytes(0) + "\x01";
        EXPECT_EQ(LoadFromBytes(bytes, &state).Get(), nullptr);
        EXPECT_EQ(state, kFailed) << c.type;
        EXPECT_TRUE(capture.Has(kLogError, c.message)) << c.type;
    }
}

TEST_F(Serialization, AFieldOfTheWrongClassFailsWithTheFieldsMessage) {
    // `next` must hold a SampleNode; this stream puts a controller there.
    Ref<SampleNode> node(new SampleNode("holder"));
    Ref<SampleController> stranger(new SampleController("stranger"));
    node->any = stranger;
    std::string bytes = SaveToBytes(node.Get());
    // Swap the two references: `next` now names the controller, `any` is null.
    std::string nullRef = Int32Bytes(-1);
    size_t anyAt = bytes.find(RecordHeader(stranger->GetId(), "ZAV.SampleController"));
    size_t nextAt = bytes.rfind(nullRef, anyAt);
    ASSERT_EQ(nextAt + 4, anyAt);
    std::string controllerRecord = bytes.substr(anyAt, bytes.size() - 4 - anyAt);
    std::string swapped = bytes.substr(0, nextAt) + controllerRecord + nullRef + Int32Bytes(0);

    test::LogCapture capture;
    int state = kOk;
    EXPECT_EQ(LoadFromBytes(swapped, &state).Get(), nullptr);
    EXPECT_EQ(state, kFailed);
    EXPECT_TRUE(capture.HasPrefix(kLogError, "Невозможно загрузить поле [next] образца."));
    node = nullptr;
    stranger = nullptr;
    ExpectNothingLeaked();
}

TEST_F(Serialization, AControllerReferenceNamingANonControllerIsRefused) {
    Ref<SampleNode> owner(new SampleNode("owner"));
    // The owner's Object record lists one "controller": a SampleNode.
    std::string bytes = RecordHeader(1, "ZAV.SampleNode") + TextBytes("owner") + Int32Bytes(1) +
                        RecordHeader(2, "ZAV.SampleNode") + PlainNodeRecord("intruder");
    test::LogCapture capture;
    int state = kOk;
    EXPECT_EQ(LoadFromBytes(bytes, &state).Get(), nullptr);
    EXPECT_EQ(state, kFailed);
    EXPECT_TRUE(capture.HasPrefix(kLogError, "Невозможно установить контроллер объекта. Имя[owner] ID["));
    owner = nullptr;
    ExpectNothingLeaked();

    // A null controller reference is refused the same way.
    capture.Clear();
    bytes = RecordHeader(1, "ZAV.SampleController") + TextBytes("c") + Int32Bytes(1) + Int32Bytes(-1);
    EXPECT_EQ(LoadFromBytes(bytes, &state).Get(), nullptr);
    EXPECT_EQ(state, kFailed);
    EXPECT_TRUE(capture.HasPrefix(kLogWarning, "Указатель на устанавливаемый контроллер равен 0. Имя[c] ID["));
    EXPECT_TRUE(capture.HasPrefix(kLogError, "Невозможно установить контроллер объекта. Имя[c] ID["));
    ExpectNothingLeaked();
}

// A graph with a shared controller, a null element and, when `cyclic`, a
// counted reference back to the root.
std::string SaveSampleGraph(bool cyclic) {
    Ref<SampleNode> root(new SampleNode("root"));
    Ref<SampleNode> child(new SampleNode("child"));
    Ref<SampleController> controller(new SampleController("ctl"));
    root->children.AddUnique(child.Get());
    root->children.AddUnique(nullptr);
    root->next = child;
    if (cyclic) child->any = root;
    child->AddController(controller.Get());
    root->AddController(controller.Get());
    Stream stream(0, 256);
    stream.WriteObject(root.Get());
    child->any = nullptr;
    return Written(stream);
}

TEST_F(Serialization, EveryTruncationFailsCleanlyAndLeaksNothing) {
    std::string bytes = SaveSampleGraph(false);
    ExpectNothingLeaked();
    for (size_t length = 0; length < bytes.size(); ++length) {
        SCOPED_TRACE(length);
        int state = kOk;
        EXPECT_EQ(LoadFromBytes(bytes.substr(0, length), &state).Get(), nullptr);
        EXPECT_NE(state, kOk);
        ExpectNothingLeaked();
    }
    EXPECT_NE(LoadFromBytes(bytes).Get(), nullptr);
    ExpectNothingLeaked();

    // A cycle of counted references is the holders' to break; the stream
    // itself keeps no object of a failed read.
    bytes = SaveSampleGraph(true);
    for (size_t length = 0; length < bytes.size(); ++length) {
        SCOPED_TRACE(length);
        EXPECT_EQ(LoadFromBytes(bytes.substr(0, length)).Get(), nullptr);
        SampleNode::BreakAllLinks();
        ExpectNothingLeaked();
    }
}

TEST_F(Serialization, DeeplyNestedRecordsFailAtTheNestingLimit) {
    // 100 000 controllers, each the only controller of the one before, each
    // record nested inside the previous one.
    std::string record = TextBytes("ZAV.SampleController") + TextBytes("") + Int32Bytes(1);
    std::string bytes;
    for (int i = 0; i < 100000; ++i) bytes += Int32Bytes(i) + record;
    bytes += Int32Bytes(-1);
    test::LogCapture capture;
    int state = kOk;
    EXPECT_EQ(LoadFromBytes(bytes, &state).Get(), nullptr);
    EXPECT_EQ(state, kFailed);
    EXPECT_TRUE(capture.Has(kLogError, "Превышена допустимая вложенность объектов в потоке. RTTI[ZAV.SampleController] ID[" +
                                           std::to_string(Stream::kMaxObjectNesting) + "]"));
    ExpectNothingLeaked();
}

TEST_F(Serialization, WritingAGraphNestedTooDeeplyFails) {
    Ref<SampleNode> head(new SampleNode("head"));
    SampleNode* tail = head.Get();
    for (int i = 0; i < Stream::kMaxObjectNesting + 10; ++i) {
        tail->next = new SampleNode();
        tail = tail->next.Get();
    }
    Stream stream(0, 4096);
    test::LogCapture capture;
    EXPECT_EQ(stream.WriteObject(head.Get()), kFailed);
    EXPECT_TRUE(capture.HasPrefix(kLogError, "Превышена допустимая вложенность объектов в потоке."));
}

TEST_F(Serialization, ARecordsResultNeverClearsAnEarlierFailure) {
    Ref<CarelessNode> careless(new CarelessNode());
    // Room for the ID and the type name, not for the field.
    Stream tight(4 + 4 + 16, 0);
    test::LogCapture capture;
    EXPECT_EQ(tight.WriteObject(careless.Get()), kFailed);
    EXPECT_EQ(tight.GetState(), kFailed);

    int state = kOk;
    EXPECT_EQ(LoadFromBytes(RecordHeader(3, "ZAV.CarelessNode"), &state).Get(), nullptr);
    EXPECT_EQ(state, kFailed);
}

TEST_F(Serialization, FailuresLogAChainInnermostFirst) {
    Ref<SampleController> controller(new SampleController("ctl"));
    std::string bytes = SaveToBytes(controller.Get());
    test::LogCapture capture;
    // Cut inside the name: the Object record fails, then the parent-record
    // line of the controller, of the sample class, and the stream stays failed.
    int state = kOk;
    LoadFromBytes(bytes.substr(0, bytes.size() - 12), &state);
    EXPECT_EQ(state, kFailed);
    std::vector<std::string> errors;
    for (const test::LogCapture::Line& line : capture.Lines())
        if (line.level == kLogError) errors.push_back(line.text.substr(0, line.text.find(" ID[")));
    EXPECT_EQ(errors, (std::vector<std::string>{"Невозможно загрузить имя объекта.",
                                                "Невозможно загрузить родительские данные.",
                                                "Невозможно загрузить родительские данные."}));
}

TEST_F(Serialization, ARewoundStreamForgetsTheObjectsItWrote) {
    // What a file stream does when it is reopened: the cursor and the object
    // map start over, so an object is written in full again.
    struct ReusedStream : Stream {
        ReusedStream() : Stream(0, 64) {}
        using Stream::ReplaceBuffer;
        using Stream::Rewind;
    } stream;
    Ref<SampleNode> node(new SampleNode("again"));
    ASSERT_EQ(stream.WriteObject(node.Get()), kOk);
    const std::string first = Written(stream);
    ASSERT_EQ(stream.WriteObject(node.Get()), kOk);
    EXPECT_EQ(stream.GetPosition(), static_cast<int32_t>(first.size()) + 4);  // a bare ID
    stream.Rewind();
    ASSERT_EQ(stream.WriteObject(node.Get()), kOk);
    EXPECT_EQ(Written(stream), first);

    stream.ReplaceBuffer(new char[4]{'\x2A', 0, 0, 0}, 4);
    EXPECT_EQ(stream.GetCapacity(), 4);
    stream.Rewind();
    int32_t value = 0;
    EXPECT_EQ(stream.ReadInt32(value), kOk);
    EXPECT_EQ(value, 42);
}

TEST_F(Serialization, ObjectListKeepsEachObjectOnceAndChecksItsElements) {
    ObjectList<SampleNode> list;
    Ref<SampleNode> a(new SampleNode("a")), b(new SampleNode("b"));
    EXPECT_EQ(list.AddUnique(a.Get()), kOk);
    EXPECT_EQ(list.AddUnique(nullptr), kOk);
    EXPECT_EQ(list.AddUnique(a.Get()), kOk);
    EXPECT_EQ(list.AddUnique(nullptr), kOk);
    EXPECT_EQ(list.AddUnique(b.Get()), kOk);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Get(1), nullptr);
    EXPECT_EQ(list.Get(2), b.Get());
    EXPECT_EQ(list.Get(3), nullptr);
    EXPECT_EQ(a->RefCount(), 2);

    Stream stream(0, 128);
    ASSERT_EQ(list.Save(stream), kOk);
    std::string bytes = Written(stream);
    EXPECT_EQ(bytes.substr(0, 4), Int32Bytes(3));

    BytesStream reader(bytes);
    ObjectList<SampleNode> copy;
    ASSERT_EQ(copy.Load(reader), kOk);
    ASSERT_EQ(copy.Count(), 3);
    EXPECT_EQ(copy.Get(0)->GetName(), "a");
    EXPECT_EQ(copy.Get(1), nullptr);

    // An element of another class fails the list with its own message.
    ObjectList<SampleController> controllers;
    BytesStream again(bytes);
    test::LogCapture capture;
    EXPECT_EQ(controllers.Load(again), kFailed);
    EXPECT_TRUE(capture.Has(kLogError, "Невозможно загрузить объект [0]."));
    EXPECT_EQ(controllers.Count(), 0);
}

}  // namespace
}  // namespace zav
