#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "core/rti/Dynamic.h"
#include "core/rti/Factory.h"
#include "core/rti/ITracer.h"
#include "core/rti/Reference.h"

namespace {

// Counts destructions so that tests can tell "destroyed exactly once".
struct Probe : RTI::Dynamic {
    explicit Probe(std::atomic<int>* d = nullptr) : destroyed(d) {}
    ~Probe() override
    {
        if (destroyed) {
            destroyed->fetch_add(1);
        }
    }
    std::atomic<int>* destroyed;
};

TEST(RtiReference, FirstReferenceOwnsAndLastOneDestroys)
{
    std::atomic<int> destroyed{0};
    auto* p = new Probe(&destroyed);
    EXPECT_EQ(p->GetRefCount(), 0u);
    {
        RTI::Reference<Probe> a(p);
        EXPECT_EQ(p->GetRefCount(), 1u);
        RTI::Reference<Probe> b = a;
        EXPECT_EQ(p->GetRefCount(), 2u);
        b.Reset();
        EXPECT_EQ(destroyed.load(), 0);
    }
    EXPECT_EQ(destroyed.load(), 1);
}

TEST(RtiReference, ReleaseOfAnUnownedObjectDestroysIt)
{
    std::atomic<int> destroyed{0};
    auto* p = new Probe(&destroyed);
    EXPECT_EQ(p->Release(), 0u);
    EXPECT_EQ(destroyed.load(), 1);
}

TEST(RtiReference, SelfAndSameTargetAssignmentKeepTheObject)
{
    std::atomic<int> destroyed{0};
    RTI::Reference<Probe> a(new Probe(&destroyed));
    RTI::Reference<Probe>& alias = a;
    a = alias;
    EXPECT_EQ(destroyed.load(), 0);
    EXPECT_EQ(a->GetRefCount(), 1u);

    RTI::Reference<Probe> b(a);
    a = b;  // a second reference to the same object
    b = a.Get();
    EXPECT_EQ(destroyed.load(), 0);
    EXPECT_EQ(a->GetRefCount(), 2u);

    a = std::move(a);  // self-move leaves it intact
    EXPECT_TRUE(a);
    EXPECT_EQ(destroyed.load(), 0);
}

TEST(RtiReference, NullReferencesAreHarmless)
{
    RTI::Reference<Probe> a;
    RTI::Reference<Probe> b = a;
    RTI::Reference<Probe> c;
    c = b;
    c = nullptr;
    c.Reset();
    EXPECT_FALSE(a);
    EXPECT_TRUE(a == nullptr);
    EXPECT_TRUE(a == b);
}

TEST(RtiReference, CheckedDowncast)
{
    struct Other : RTI::Dynamic {};
    RTI::Reference<RTI::Dynamic> base(new Probe());
    EXPECT_TRUE(base.As<Probe>());
    EXPECT_FALSE(base.As<Other>());
    EXPECT_EQ(base->GetRefCount(), 1u);  // the failed and the dropped cast left no count behind
}

TEST(RtiReference, TwoThreadsDroppingTheLastReferencesDestroyOnce)
{
    // Many rounds so that the two releases really race.
    for (int round = 0; round < 2000; ++round) {
        std::atomic<int> destroyed{0};
        std::atomic<bool> go{false};
        auto* p = new Probe(&destroyed);
        RTI::Reference<Probe> first(p);
        RTI::Reference<Probe> second(p);
        std::thread t1([&] {
            while (!go.load()) {
            }
            first.Reset();
        });
        std::thread t2([&] {
            while (!go.load()) {
            }
            second.Reset();
        });
        go.store(true);
        t1.join();
        t2.join();
        ASSERT_EQ(destroyed.load(), 1) << "round " << round;
    }
}

TEST(RtiReference, CopiesMadeAndDroppedOnManyThreadsBalance)
{
    std::atomic<int> destroyed{0};
    RTI::Reference<Probe> root(new Probe(&destroyed));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                RTI::Reference<Probe> copy = root;
                RTI::Reference<Probe> other = copy;
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    EXPECT_EQ(root->GetRefCount(), 1u);
    root.Reset();
    EXPECT_EQ(destroyed.load(), 1);
}

struct Shape : RTI::Dynamic {
    using IFactory = RTI::FactoryInterface<Shape>;
    template <class T>
    using FactoryOf = RTI::FactoryFor<Shape, T>;
    virtual const char* Kind() const = 0;
};
struct RunShape : Shape {
    const char* Kind() const override { return "run"; }
};
struct Folder : Shape {
    const char* Kind() const override { return "folder"; }
};

TEST(RtiFactory, RegistryFindsElementNamesWithoutRegardToCase)
{
    RTI::FactoryRegistry<Shape> registry;
    RTI::RegisterFactory<Shape, RunShape>(registry, L"Run");
    RTI::RegisterFactory<Shape, Folder>(registry, L"Folder");
    for (const wchar_t* name : {L"run", L"Run", L"RUN"}) {
        auto made = RTI::CreateFromRegistry(registry, name);
        ASSERT_TRUE(made);
        EXPECT_STREQ(made->Kind(), "run");
        EXPECT_EQ(made->GetRefCount(), 1u);
    }
    EXPECT_FALSE(RTI::CreateFromRegistry(registry, L"Runner"));
    EXPECT_FALSE(RTI::CreateFromRegistry(registry, L""));
}

TEST(RtiFactory, NestedFactoryTypesCreateTheirClass)
{
    Shape::FactoryOf<Folder> factory;
    RTI::Reference<Shape> made = factory.Create();
    ASSERT_TRUE(made);
    EXPECT_STREQ(made->Kind(), "folder");
}

TEST(RtiComparator, OrdersWithoutRegardToCase)
{
    RTI::IgnoreCaseStringComparator less;
    EXPECT_FALSE(less(L"abc", L"ABC"));
    EXPECT_FALSE(less(L"ABC", L"abc"));
    EXPECT_TRUE(less(L"abc", L"ABD"));
    EXPECT_TRUE(less(L"Run", L"RunOnce"));
    EXPECT_FALSE(less(L"RunOnce", L"run"));
    EXPECT_TRUE(RTI::EqualsIgnoreCase(L"HKCU", L"hkcu"));
    EXPECT_FALSE(RTI::EqualsIgnoreCase(L"HKCU", L"HKC"));
}

TEST(RtiTracer, CodesAreThePackedCharacters)
{
    EXPECT_EQ(RTI::TraceCode::Max, 0x006D6178u);
    EXPECT_EQ(RTI::TraceCode::Done, 0x646F6E65u);
    EXPECT_EQ(RTI::TraceCode::KeyRemoved, 0x726D2E6Bu);
}

}  // namespace
