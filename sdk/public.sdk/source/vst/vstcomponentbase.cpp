#include "public.sdk/source/vst/vstcomponentbase.h"

#include "pluginterfaces/vst/ivsthostapplication.h"

namespace Steinberg {
namespace Vst {

ComponentBase::ComponentBase() {}

ComponentBase::~ComponentBase() {}

tresult PLUGIN_API ComponentBase::initialize(FUnknown* context)
{
	// Refused while initialised, also when the first call came without a context:
	// a second initialize would otherwise repeat its set-up (buses, parameters).
	if (hostContext || initialized)
		return kResultFalse;
	hostContext = context;
	initialized = true;
	return kResultOk;
}

tresult PLUGIN_API ComponentBase::terminate()
{
	const bool wasInitialized = initialized;
	initialized = false;
	peerConnection = nullptr;
	hostContext = nullptr;
	return wasInitialized ? kResultOk : kResultFalse;
}

tresult PLUGIN_API ComponentBase::connect(IConnectionPoint* other)
{
	if (!other)
		return kInvalidArgument;
	if (peerConnection)
		return kResultFalse;
	peerConnection = other;
	return kResultOk;
}

tresult PLUGIN_API ComponentBase::disconnect(IConnectionPoint* other)
{
	if (!other || other != peerConnection.get())
		return kResultFalse;
	peerConnection = nullptr;
	return kResultOk;
}

tresult PLUGIN_API ComponentBase::notify(IMessage* message)
{
	return message ? kResultFalse : kInvalidArgument;
}

IMessage* ComponentBase::allocateMessage() const
{
	FUnknownPtr<IHostApplication> host(hostContext);
	if (!host)
		return nullptr;
	TUID iid;
	IMessage::iid.toTUID(iid);
	void* obj = nullptr;
	if (host->createInstance(iid, iid, &obj) != kResultOk || !obj)
		return nullptr;
	return static_cast<IMessage*>(obj);
}

tresult ComponentBase::sendMessage(IMessage* message) const
{
	if (!message)
		return kInvalidArgument;
	if (!peerConnection)
		return kResultFalse;
	return peerConnection->notify(message);
}

} // namespace Vst
} // namespace Steinberg
