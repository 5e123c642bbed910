// FObject: reference-counted base object with class-name queries and dependents.
#pragma once

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/base/iupdatehandler.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace Steinberg {

typedef FIDString FClassID;

class FObject : public IDependent
{
public:
	FObject() {}
	// A copy is a new object: its own count of one and no dependents.
	FObject(const FObject&) : IDependent() {}
	FObject& operator=(const FObject&) { return *this; }
	virtual ~FObject();

	// Class-name queries; subclasses extend them with OBJ_METHODS.
	static FClassID getFClassID() { return "FObject"; }
	virtual FClassID isA() const { return FObject::getFClassID(); }
	virtual bool isA(FClassID s) const { return isTypeOf(s, false); }
	virtual bool isTypeOf(FClassID s, bool /*askBaseClass*/ = true) const
	{
		return classIDsEqual(s, FObject::getFClassID());
	}
	static bool classIDsEqual(FClassID a, FClassID b);

	int32 getRefCount() const { return refCount.load(); }
	FUnknown* unknownCast() { return static_cast<FUnknown*>(static_cast<IDependent*>(this)); }

	// FUnknown: answers FUnknown and IDependent.
	tresult PLUGIN_API queryInterface(const TUID _iid, void** obj) SMTG_OVERRIDE;
	uint32 PLUGIN_API addRef() SMTG_OVERRIDE;
	uint32 PLUGIN_API release() SMTG_OVERRIDE;

	// IDependent: an FObject ignores notifications unless a subclass overrides this.
	void PLUGIN_API update(FUnknown* /*changedUnknown*/, int32 /*message*/) SMTG_OVERRIDE {}

	// Dependents are not reference-counted: each addDependent needs a removeDependent
	// before the dependent goes away. Adding one twice keeps a single entry. Any thread
	// may add, remove and notify; once removeDependent has returned, the dependent is not
	// called again, not even by a notification running on another thread.
	virtual void addDependent(IDependent* dep);
	virtual void removeDependent(IDependent* dep);
	bool hasDependent(IDependent* dep) const;
	size_t countDependents() const;

	// Notifies every dependent at once: update(this, msg), on the calling thread.
	virtual void changed(int32 msg = kChanged);
	// There is no idle queue here, so deferred updates are delivered at once as well.
	virtual void deferUpdate(int32 msg = kChanged);
	virtual void updateDone(int32 /*msg*/) {}
	virtual bool isEqualInstance(FUnknown* other) { return unknownCast() == other; }

protected:
	std::atomic<int32> refCount {1};
	// Held while dependents are notified; recursive, so that a dependent may add and
	// remove dependents from within update().
	mutable std::recursive_mutex dependentsLock;
	std::vector<IDependent*> dependents;
};

// Helpers for classes derived from FObject (and further interfaces).
#define OBJ_METHODS(className, baseClass)                                                        \
	static inline ::Steinberg::FClassID getFClassID() { return (#className); }                   \
	::Steinberg::FClassID isA() const SMTG_OVERRIDE { return className::getFClassID(); }         \
	bool isA(::Steinberg::FClassID s) const SMTG_OVERRIDE { return isTypeOf(s, false); }         \
	bool isTypeOf(::Steinberg::FClassID s, bool askBaseClass = true) const SMTG_OVERRIDE         \
	{                                                                                            \
		return ::Steinberg::FObject::classIDsEqual(s, #className) ||                             \
		       (askBaseClass && baseClass::isTypeOf(s, true));                                   \
	}

#define REFCOUNT_METHODS(BaseClass)                                                              \
	::Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return BaseClass::addRef(); }        \
	::Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE { return BaseClass::release(); }

#define DEFINE_INTERFACES                                                                        \
	::Steinberg::tresult PLUGIN_API queryInterface(const ::Steinberg::TUID _iid, void** obj)     \
	    SMTG_OVERRIDE                                                                            \
	{                                                                                            \
		if (!obj)                                                                                \
			return ::Steinberg::kInvalidArgument;

#define DEF_INTERFACE(InterfaceName) QUERY_INTERFACE(_iid, obj, InterfaceName::iid, InterfaceName)

#define END_DEFINE_INTERFACES(BaseClass)                                                         \
	return BaseClass::queryInterface(_iid, obj);                                                 \
	}

#define FUNKNOWN_METHODS(InterfaceName, BaseClass)                                               \
	DEFINE_INTERFACES                                                                            \
	DEF_INTERFACE(InterfaceName)                                                                 \
	END_DEFINE_INTERFACES(BaseClass)                                                             \
	REFCOUNT_METHODS(BaseClass)

#define FUNKNOWN_METHODS2(InterfaceName1, InterfaceName2, BaseClass)                             \
	DEFINE_INTERFACES                                                                            \
	DEF_INTERFACE(InterfaceName1)                                                                \
	DEF_INTERFACE(InterfaceName2)                                                                \
	END_DEFINE_INTERFACES(BaseClass)                                                             \
	REFCOUNT_METHODS(BaseClass)

// Class-name checked downcast; null when obj is not a C.
template <class C>
inline C* FCast(FObject* obj)
{
	return (obj && obj->isTypeOf(C::getFClassID(), true)) ? static_cast<C*>(obj) : nullptr;
}

} // namespace Steinberg
