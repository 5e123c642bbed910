#pragma once

#include "public.sdk/source/vst/vsteditcontroller.h"
#include "vstgui/plugin-bindings/vst3editor.h"

#include <vector>

namespace Steinberg {
namespace Vst {

template <typename ControllerType>
class PlugAboutController;

// Edit controller of the plug-in: publishes the nine parameters, follows the
// processor's state record and opens the editor with its about box.
class PlugController : public EditController, public VSTGUI::VST3EditorDelegate
{
public:
	using AboutController = PlugAboutController<PlugController>;

	PlugController ();
	~PlugController () override;

	tresult PLUGIN_API initialize (FUnknown* context) override;
	tresult PLUGIN_API setComponentState (IBStream* state) override;
	IPlugView* PLUGIN_API createView (FIDString name) override;

	// VST3EditorDelegate
	VSTGUI::IController* createSubController (VSTGUI::UTF8StringPtr name,
	                                          const VSTGUI::IUIDescription* description,
	                                          VSTGUI::VST3Editor* editor) override;

	// Non-owning list of the live about boxes, in order of creation.
	void addAboutController (AboutController* controller);
	void removeAboutController (AboutController* controller);

	static FUnknown* createInstance (void* context);

protected:
	std::vector<AboutController*> aboutControllers;
};

} // namespace Vst
} // namespace Steinberg
