#include "base/source/fobject.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Steinberg;

namespace {

class Tracked : public FObject
{
public:
	explicit Tracked(bool* destroyed) : destroyed(destroyed) {}
	~Tracked() override { *destroyed = true; }
	OBJ_METHODS(Tracked, FObject)

private:
	bool* destroyed;
};

class Derived : public Tracked
{
public:
	using Tracked::Tracked;
	OBJ_METHODS(Derived, Tracked)
};

// Records notifications; optionally unregisters itself or another dependent when called.
class Listener : public FObject
{
public:
	void PLUGIN_API update(FUnknown* changed, int32 message) override
	{
		calls.push_back({changed, message});
		if (removeFrom)
			removeFrom->removeDependent(toRemove ? toRemove : this);
	}
	std::vector<std::pair<FUnknown*, int32>> calls;
	FObject* removeFrom = nullptr;
	IDependent* toRemove = nullptr;
	OBJ_METHODS(Listener, FObject)
};

} // namespace

// The plug-in's objects answer FUnknown with one identity and count their references, checked
// through the bundle; here FObject's IDependent and that a refused query takes no reference.
TEST(FObject, AnswersIDependentAndARefusalTakesNoReference)
{
	bool destroyed = false;
	auto* obj = new Tracked(&destroyed);
	void* p = nullptr;
	ASSERT_EQ(kResultOk, obj->queryInterface(IDependent::iid, &p));
	EXPECT_EQ(static_cast<IDependent*>(obj), p);
	EXPECT_EQ(2, obj->getRefCount());
	EXPECT_EQ(kNoInterface, obj->queryInterface(IUpdateHandler::iid, &p));
	EXPECT_EQ(nullptr, p);
	EXPECT_EQ(2, obj->getRefCount());
	EXPECT_EQ(kInvalidArgument, obj->queryInterface(FUnknown::iid, nullptr));
	EXPECT_EQ(1u, obj->release());
	EXPECT_FALSE(destroyed);
	EXPECT_EQ(0u, obj->release());
	EXPECT_TRUE(destroyed);
}

TEST(FObject, ClassNameQueries)
{
	bool destroyed = false;
	auto* obj = new Derived(&destroyed);
	EXPECT_STREQ("Derived", obj->isA());
	EXPECT_TRUE(obj->isA("Derived"));
	EXPECT_FALSE(obj->isA("Tracked"));
	EXPECT_TRUE(obj->isTypeOf("Tracked"));
	EXPECT_TRUE(obj->isTypeOf("FObject"));
	EXPECT_FALSE(obj->isTypeOf("Tracked", false));
	EXPECT_FALSE(obj->isTypeOf("Listener"));
	EXPECT_EQ(obj, FCast<Tracked>(obj));
	EXPECT_EQ(nullptr, FCast<Listener>(obj));
	obj->release();
}

TEST(FObject, ChangedNotifiesEachDependentOnce)
{
	bool destroyed = false;
	auto* subject = new Tracked(&destroyed);
	Listener a, b;
	subject->addDependent(&a);
	subject->addDependent(&a); // kept once
	subject->addDependent(&b);
	subject->addDependent(nullptr);
	EXPECT_EQ(2u, subject->countDependents());

	subject->changed();
	ASSERT_EQ(1u, a.calls.size());
	EXPECT_EQ(subject->unknownCast(), a.calls[0].first);
	EXPECT_EQ(IDependent::kChanged, a.calls[0].second);
	EXPECT_EQ(1u, b.calls.size());

	subject->removeDependent(&a);
	subject->deferUpdate(IDependent::kWillChange);
	EXPECT_EQ(1u, a.calls.size());
	ASSERT_EQ(2u, b.calls.size());
	EXPECT_EQ(IDependent::kWillChange, b.calls[1].second);
	EXPECT_EQ(1, subject->getRefCount());

	subject->removeDependent(&b);
	subject->release();
	EXPECT_TRUE(destroyed);
}

TEST(FObject, DependentsMayUnregisterWhileBeingNotified)
{
	bool destroyed = false;
	auto* subject = new Tracked(&destroyed);
	Listener first, second;
	// The first removes the second before it is reached, then itself on the next round.
	first.removeFrom = subject;
	first.toRemove = &second;
	subject->addDependent(&first);
	subject->addDependent(&second);
	subject->changed();
	EXPECT_EQ(1u, first.calls.size());
	EXPECT_EQ(0u, second.calls.size());

	first.toRemove = nullptr;
	subject->changed();
	EXPECT_EQ(2u, first.calls.size());
	EXPECT_EQ(0u, subject->countDependents());
	subject->release();
}

TEST(SmartPointers, QueriedAndOwnedReferencesAreBalanced)
{
	bool destroyed = false;
	auto* obj = new Tracked(&destroyed);
	{
		FUnknownPtr<IDependent> dep(obj->unknownCast());
		ASSERT_TRUE(dep);
		EXPECT_EQ(2, obj->getRefCount());
		FUnknownPtr<IUpdateHandler> none(obj->unknownCast());
		EXPECT_FALSE(none);
		EXPECT_EQ(2, obj->getRefCount());

		IPtr<IDependent> copy = dep;
		EXPECT_EQ(3, obj->getRefCount());
		copy = nullptr;
		EXPECT_EQ(2, obj->getRefCount());
		dep = static_cast<FUnknown*>(nullptr);
		EXPECT_EQ(1, obj->getRefCount());
	}
	{
		IPtr<Tracked> own = owned(obj); // takes over the creation reference
		EXPECT_EQ(1, obj->getRefCount());
		IPtr<Tracked> other = shared(obj);
		EXPECT_EQ(2, obj->getRefCount());
	}
	EXPECT_TRUE(destroyed);
}
