#include "base/source/fobject.h"

#include <algorithm>
#include <cstring>

namespace Steinberg {

FObject::~FObject() = default;

bool FObject::classIDsEqual(FClassID a, FClassID b)
{
	if (a == b)
		return true;
	if (!a || !b)
		return false;
	return std::strcmp(a, b) == 0;
}

tresult PLUGIN_API FObject::queryInterface(const TUID _iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	QUERY_INTERFACE(_iid, obj, FUnknown::iid, FUnknown)
	QUERY_INTERFACE(_iid, obj, IDependent::iid, IDependent)
	*obj = nullptr;
	return kNoInterface;
}

uint32 PLUGIN_API FObject::addRef()
{
	return static_cast<uint32>(++refCount);
}

uint32 PLUGIN_API FObject::release()
{
	const int32 left = --refCount;
	if (left == 0)
	{
		delete this;
		return 0;
	}
	return static_cast<uint32>(left);
}

void FObject::addDependent(IDependent* dep)
{
	std::lock_guard<std::recursive_mutex> guard(dependentsLock);
	if (dep && !hasDependent(dep))
		dependents.push_back(dep);
}

void FObject::removeDependent(IDependent* dep)
{
	std::lock_guard<std::recursive_mutex> guard(dependentsLock);
	auto it = std::find(dependents.begin(), dependents.end(), dep);
	if (it != dependents.end())
		dependents.erase(it);
}

bool FObject::hasDependent(IDependent* dep) const
{
	std::lock_guard<std::recursive_mutex> guard(dependentsLock);
	return std::find(dependents.begin(), dependents.end(), dep) != dependents.end();
}

size_t FObject::countDependents() const
{
	std::lock_guard<std::recursive_mutex> guard(dependentsLock);
	return dependents.size();
}

void FObject::changed(int32 msg)
{
	// A dependent may add or remove dependents (itself included) or drop its reference
	// to this object while being notified: work on a snapshot, skip entries removed
	// meanwhile, and keep this object alive until the round is over.
	bool notified = false;
	{
		std::lock_guard<std::recursive_mutex> guard(dependentsLock);
		if (!dependents.empty())
		{
			addRef();
			notified = true;
			const std::vector<IDependent*> snapshot = dependents;
			for (IDependent* dep : snapshot)
			{
				if (hasDependent(dep))
					dep->update(unknownCast(), msg);
			}
		}
	}
	updateDone(msg);
	if (notified)
		release();
}

void FObject::deferUpdate(int32 msg)
{
	changed(msg);
}

} // namespace Steinberg
