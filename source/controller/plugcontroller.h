#pragma once

#include "public.sdk/source/vst/vsteditcontroller.h"

#include <vector>

namespace Steinberg {
namespace Vst {

template <typename ControllerType>
class PlugAboutController;

// Edit controller of the plug-in: publishes the nine parameters and follows
// the processor's state record.
class PlugController : public EditController
{
public:
	using AboutController = PlugAboutController<PlugController>;

	PlugController ();
	~PlugController () override;

	tresult PLUGIN_API initialize (FUnknown* context) override;
	tresult PLUGIN_API setComponentState (IBStream* state) override;

	// Non-owning list of the live about boxes, in order of creation.
	void addAboutController (AboutController* controller);
	void removeAboutController (AboutController* controller);

	static FUnknown* createInstance (void* context);

protected:
	std::vector<AboutController*> aboutControllers;
};

} // namespace Vst
} // namespace Steinberg
