// ComponentBase: host context and connection point shared by components and controllers.
#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstmessage.h"

namespace Steinberg {
namespace Vst {

class ComponentBase : public FObject, public IPluginBase, public IConnectionPoint
{
public:
	ComponentBase();
	~ComponentBase() override;

	// IPluginBase: initialize keeps the context; a second call before terminate is
	// refused with kResultFalse. terminate drops context and peer; kResultFalse when
	// the component is not initialised.
	tresult PLUGIN_API initialize(FUnknown* context) SMTG_OVERRIDE;
	tresult PLUGIN_API terminate() SMTG_OVERRIDE;

	// IConnectionPoint: one peer at a time.
	tresult PLUGIN_API connect(IConnectionPoint* other) SMTG_OVERRIDE;
	tresult PLUGIN_API disconnect(IConnectionPoint* other) SMTG_OVERRIDE;
	// Base: no message is understood (kResultFalse).
	tresult PLUGIN_API notify(IMessage* message) SMTG_OVERRIDE;

	FUnknown* getHostContext() const { return hostContext; }
	IConnectionPoint* getPeer() const { return peerConnection; }

	// A new message from the host (one reference for the caller), or null.
	IMessage* allocateMessage() const;
	// Sends to the peer; kResultFalse without a peer.
	tresult sendMessage(IMessage* message) const;

	OBJ_METHODS(ComponentBase, FObject)
	DEFINE_INTERFACES
	DEF_INTERFACE(IPluginBase)
	DEF_INTERFACE(IConnectionPoint)
	END_DEFINE_INTERFACES(FObject)
	REFCOUNT_METHODS(FObject)

protected:
	IPtr<FUnknown> hostContext;
	IPtr<IConnectionPoint> peerConnection;
	bool initialized = false;
};

} // namespace Vst
} // namespace Steinberg
