#include <gtest/gtest.h>

#include <string>

#include "engine/animation/Controller.h"
#include "engine/core/ClassRegistration.h"
#include "engine/core/Engine.h"
#include "engine/core/Object.h"
#include "engine/core/ObjectFactory.h"
#include "engine/core/Result.h"
#include "tests/support/LogCapture.h"
#include "tests/support/SampleClasses.h"

namespace zav {
namespace {

using test::SampleController;
using test::SampleNode;

using test::NameAndId;

TEST(Object, IdsCountEveryConstructedObjectOfAnyClass) {
    Ref<Object> first(new SampleNode("first"));
    Ref<Object> second(new SampleController());
    Ref<Object> third(new SampleNode());
    EXPECT_EQ(second->GetId(), first->GetId() + 1);
    EXPECT_EQ(third->GetId(), first->GetId() + 2);
    EXPECT_EQ(first->GetName(), "first");
    EXPECT_TRUE(third->GetName().IsEmpty());
}

TEST(Object, DestroyingAReferencedObjectWarnsAndStillDestroys) {
    test::LogCapture capture;
    int before = SampleNode::LiveCount();
    auto* node = new SampleNode();
    node->AddRef();
    node->AddRef();
    delete node;
    EXPECT_EQ(SampleNode::LiveCount(), before);
    EXPECT_TRUE(capture.Has(kLogWarning, "Удаление объекта, имеющего ссылки. Количество ссылок [2]."));
}

TEST(Object, ControllersAreInsertedAtTheHead) {
    Ref<SampleNode> owner(new SampleNode("owner"));
    Ref<SampleController> a(new SampleController("A")), b(new SampleController("B")), c(new SampleController("C"));
    EXPECT_EQ(owner->AddController(a.Get()), kOk);
    EXPECT_EQ(owner->AddController(b.Get()), kOk);
    EXPECT_EQ(owner->AddController(c.Get()), kOk);
    EXPECT_EQ(owner->GetControllerCount(), 3);
    EXPECT_EQ(owner->GetController(0), c.Get());
    EXPECT_EQ(owner->GetController(1), b.Get());
    EXPECT_EQ(owner->GetController(2), a.Get());
    EXPECT_EQ(owner->GetController(3), nullptr);
    EXPECT_EQ(owner->GetController(-1), nullptr);
    EXPECT_EQ(a->GetOwner(), owner.Get());
    EXPECT_EQ(a->RefCount(), 2);  // ours and the list's
    owner->RemoveAllControllers();
    EXPECT_EQ(owner->GetControllerCount(), 0);
    EXPECT_EQ(a->RefCount(), 1);
    EXPECT_EQ(a->GetOwner(), nullptr);
}

TEST(Object, AddControllerRefusesNullNonControllersSelfAndCycles) {
    test::LogCapture capture;
    Ref<SampleNode> owner(new SampleNode("owner"));
    EXPECT_EQ(owner->AddController(nullptr), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Указатель на устанавливаемый контроллер равен 0. " + NameAndId(*owner)));

    Ref<SampleNode> notAController(new SampleNode("plain"));
    EXPECT_EQ(owner->AddController(notAController.Get()), kFailed);
    EXPECT_EQ(owner->GetControllerCount(), 0);
    EXPECT_TRUE(capture.Has(kLogWarning, "Объект [plain] ID[" + std::to_string(notAController->GetId()) +
                                             "] не может быть контроллером объекта. " + NameAndId(*owner)));

    Ref<SampleController> first(new SampleController("first")), second(new SampleController("second"));
    EXPECT_EQ(first->AddController(first.Get()), kFailed);
    ASSERT_EQ(first->AddController(second.Get()), kOk);
    EXPECT_EQ(second->AddController(first.Get()), kFailed);  // would close first -> second -> first
    EXPECT_EQ(second->GetControllerCount(), 0);
    // Sharing without a cycle is fine.
    EXPECT_EQ(owner->AddController(first.Get()), kOk);
    EXPECT_EQ(owner->AddController(second.Get()), kOk);
    // A controller bringing hundreds of its own is more than a walk should cross.
    Ref<SampleController> crowded(new SampleController("crowded"));
    for (int i = 0; i < 300; ++i) ASSERT_EQ(crowded->AddController(new SampleController()), kOk);
    EXPECT_EQ(owner->AddController(crowded.Get()), kFailed);
    EXPECT_EQ(owner->GetControllerCount(), 2);
}

TEST(Object, AControllerSharedByTwoOwnersLosesItsOwnerWithTheLastAdder) {
    Ref<SampleNode> keeper(new SampleNode("keeper"));
    Ref<SampleController> shared(new SampleController());
    {
        Ref<SampleNode> lastAdder(new SampleNode("last"));
        ASSERT_EQ(keeper->AddController(shared.Get()), kOk);
        ASSERT_EQ(lastAdder->AddController(shared.Get()), kOk);
        EXPECT_EQ(shared->GetOwner(), lastAdder.Get());
        keeper->UpdateControllers(0.5);
        EXPECT_EQ(shared->updates, 1);
    }
    // The owner died: the pointer is cleared rather than left dangling, and
    // an ownerless controller is not run.
    EXPECT_EQ(shared->GetOwner(), nullptr);
    keeper->UpdateControllers(1.0);
    EXPECT_EQ(shared->updates, 1);
    // Dropping a list that does not own the controller leaves its owner alone.
    Ref<SampleNode> owner(new SampleNode());
    Ref<SampleNode> other(new SampleNode());
    ASSERT_EQ(other->AddController(shared.Get()), kOk);
    ASSERT_EQ(owner->AddController(shared.Get()), kOk);
    other->RemoveAllControllers();
    EXPECT_EQ(shared->GetOwner(), owner.Get());
}

TEST(Object, UpdateControllersRunsThemInListOrderWithTheTime) {
    struct Recording : SampleController {
        explicit Recording(std::string* log, char tag) : log(log), tag(tag) {}
        void Update(double time) override {
            SampleController::Update(time);
            *log += tag;
        }
        std::string* log;
        char tag;
    };
    std::string log;
    Ref<SampleNode> owner(new SampleNode());
    Ref<Recording> a(new Recording(&log, 'a')), b(new Recording(&log, 'b'));
    owner->AddController(a.Get());
    owner->AddController(b.Get());
    owner->UpdateControllers(2.5);
    EXPECT_EQ(log, "ba");
    EXPECT_EQ(a->lastTime, 2.5);
}

TEST(Object, FindObjectChecksItselfFirstThenControllersInOrder) {
    Ref<SampleNode> owner(new SampleNode("Target"));
    Ref<SampleController> namesake(new SampleController("Target"));
    Ref<SampleController> inner(new SampleController("inner"));
    Ref<SampleController> deep(new SampleController("deep"));
    Ref<SampleController> unnamed(new SampleController(""));
    ASSERT_EQ(inner->AddController(deep.Get()), kOk);
    owner->AddController(unnamed.Get());
    owner->AddController(inner.Get());
    owner->AddController(namesake.Get());
    EXPECT_EQ(owner->FindObject("Target"), owner.Get());
    EXPECT_EQ(owner->FindObject("deep"), deep.Get());
    EXPECT_EQ(owner->FindObject("target"), nullptr);
    EXPECT_EQ(owner->FindObject(""), unnamed.Get());
    EXPECT_EQ(owner->FindObject("missing"), nullptr);
}

TEST(Object, CollectObjectsAppendsEveryObjectOfTheKind) {
    Ref<SampleNode> owner(new SampleNode());
    Ref<SampleController> a(new SampleController()), b(new SampleController());
    ASSERT_EQ(a->AddController(b.Get()), kOk);
    owner->AddController(a.Get());
    Array<Object*> controllers;
    owner->CollectObjects(&Controller::StaticType(), controllers);
    ASSERT_EQ(controllers.Count(), 2);
    EXPECT_EQ(controllers[0], a.Get());
    EXPECT_EQ(controllers[1], b.Get());
    Array<Object*> everything;
    owner->CollectObjects(&Object::StaticType(), everything);
    EXPECT_EQ(everything.Count(), 3);
    Array<Object*> nodes;
    owner->CollectObjects(&SampleNode::StaticType(), nodes);
    EXPECT_EQ(nodes.Count(), 1);
}

TEST(Object, WalksStopAtTheDepthLimitOnALongChain) {
    // A chain built head first passes the cycle check at every step; the
    // walks stop descending instead of exhausting the stack, and the chain is
    // destroyed without deep recursion.
    int before = SampleController::LiveCount();
    {
        Ref<SampleController> head(new SampleController("head"));
        SampleController* tail = head.Get();
        for (int i = 0; i < 100000; ++i) {
            auto* next = new SampleController(i == 99999 ? "tail" : "");
            ASSERT_EQ(tail->AddController(next), kOk);
            tail = next;
        }
        EXPECT_EQ(head->FindObject("tail"), nullptr);
        Array<Object*> found;
        head->CollectObjects(&Controller::StaticType(), found);
        EXPECT_GT(found.Count(), 100);
        EXPECT_LT(found.Count(), 100000);
        head->UpdateControllers(1.0);
        EXPECT_EQ(head->FindObject("head"), head.Get());
    }
    EXPECT_EQ(SampleController::LiveCount(), before);
}

TEST(TypeInfo, ParentChainAndIsKindOf) {
    EXPECT_EQ(Object::StaticType().GetName(), "ZAV.Object");
    EXPECT_EQ(Object::StaticType().GetParent(), nullptr);
    EXPECT_EQ(Controller::StaticType().GetName(), "ZAV.Controller");
    EXPECT_EQ(Controller::StaticType().GetParent(), &Object::StaticType());
    EXPECT_EQ(PostUpdateController::StaticType().GetParent(), &Controller::StaticType());
    EXPECT_EQ(SampleController::StaticType().GetName(), "ZAV.SampleController");

    EXPECT_TRUE(IsKindOf(&SampleController::StaticType(), &Object::StaticType()));
    EXPECT_TRUE(IsKindOf(&SampleController::StaticType(), &Controller::StaticType()));
    EXPECT_FALSE(IsKindOf(&Controller::StaticType(), &SampleController::StaticType()));
    EXPECT_FALSE(IsKindOf(&SampleNode::StaticType(), &Controller::StaticType()));
    EXPECT_FALSE(IsKindOf(&SampleNode::StaticType(), nullptr));

    Ref<Object> controller(new SampleController());
    EXPECT_EQ(controller->GetType(), &SampleController::StaticType());
    EXPECT_EQ(ObjectCast<Controller>(controller.Get()), controller.Get());
    EXPECT_EQ(ObjectCast<SampleNode>(controller.Get()), nullptr);
    EXPECT_EQ(ObjectCast<SampleNode>(nullptr), nullptr);
}

TEST(FactoryRegistry, FactoriesExistOnlyWhileTheEngineRuns) {
    EXPECT_EQ(FindFactory("ZAV.SampleNode"), nullptr);
    test::LogCapture capture;
    ASSERT_EQ(EngineInit(), kOk);
    EXPECT_TRUE(capture.Has(kLogInfo, "Инициализация класса [Object] прошла удачно."));

    ObjectFactory create = FindFactory("ZAV.SampleNode");
    ASSERT_NE(create, nullptr);
    Object* created = nullptr;
    EXPECT_EQ(create(&created), kOk);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->RefCount(), 0);  // the caller takes the first reference
    EXPECT_EQ(created->GetType(), &SampleNode::StaticType());
    Ref<Object> keep(created);

    // Abstract classes register a factory that refuses; only Object's says so.
    for (const char* name : {"ZAV.Controller", "ZAV.PostUpdateController", "ZAV.SampleAbstract", "ZAV.Object"}) {
        ObjectFactory refuse = FindFactory(name);
        ASSERT_NE(refuse, nullptr) << name;
        Object* none = keep.Get();
        EXPECT_EQ(refuse(&none), kFailed) << name;
        EXPECT_EQ(none, nullptr) << name;
    }
    EXPECT_TRUE(capture.Has(kLogCritical, "Создание объекта абстрактного класса [Object]."));
    EXPECT_EQ(FindFactory("ZAV.sampleNode"), nullptr);
    // Types by name, for code that only knows the name.
    EXPECT_EQ(FindType("ZAV.SampleNode"), &SampleNode::StaticType());
    EXPECT_EQ(FindType("ZAV.Object"), &Object::StaticType());
    EXPECT_EQ(FindType("ZAV.sampleNode"), nullptr);
    EXPECT_FALSE(keep->IsKindOf(FindType("ZAV.NoSuchClass")));

    EXPECT_FALSE(RegisterFactory("ZAV.SampleNode", create));
    ASSERT_EQ(EngineShutdown(), kOk);
    EXPECT_TRUE(capture.Has(kLogInfo, "Завершение работы класса [Object] прошло удачно."));
    EXPECT_EQ(FindFactory("ZAV.SampleNode"), nullptr);
    EXPECT_EQ(FindFactory("ZAV.Object"), nullptr);
    EXPECT_EQ(FindType("ZAV.SampleNode"), nullptr);
}

TEST(FactoryRegistry, ATypeNameTakenTwiceFailsTheEngineStart) {
    ASSERT_TRUE(RegisterFactory("ZAV.Object", &RefuseToCreate));
    test::LogCapture capture;
    EXPECT_EQ(EngineInit(), kFailed);
    EXPECT_TRUE(capture.Has(kLogCritical, "Инициализация класса [Object] прошла неудачно."));
    EXPECT_TRUE(capture.Has(kLogError, "Инициализация движка неудачно."));
    EXPECT_EQ(EngineShutdown(), kOk);
    EXPECT_EQ(FindFactory("ZAV.Object"), nullptr);

    // A class registering under a name that a second class already took.
    ASSERT_TRUE(RegisterFactory("ZAV.SampleController", &RefuseToCreate));
    EXPECT_EQ(EngineInit(), kFailed);
    EXPECT_EQ(EngineShutdown(), kOk);
    EXPECT_EQ(EngineInit(), kOk);
    EXPECT_EQ(EngineShutdown(), kOk);
}

}  // namespace
}  // namespace zav
