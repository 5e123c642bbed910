#pragma once

#include "vst3parameterbinding.h"
#include "vst3hostrunloop.h"
#include "../lib/cframe.h"
#include "../uidescription/icontroller.h"
#include "../uidescription/uidescription.h"
#include "public.sdk/source/vst/vsteditcontroller.h"
#include <map>
#include <memory>
#include <string>

namespace VSTGUI {

class VST3Editor;
class ChangeSignal;

// What an edit controller can add to the editors it creates (derive it from this).
class VST3EditorDelegate
{
public:
	virtual ~VST3EditorDelegate () noexcept = default;

	// A view for a node with a "custom-view-name" attribute, or null for the factory's.
	virtual CView* createCustomView (UTF8StringPtr /*name*/, const UIAttributes& /*attributes*/,
	                                 const IUIDescription* /*description*/,
	                                 VST3Editor* /*editor*/)
	{
		return nullptr;
	}
	// Sees every view the editor builds itself; null leaves the view out.
	virtual CView* verifyView (CView* view, const UIAttributes& /*attributes*/,
	                           const IUIDescription* /*description*/, VST3Editor* /*editor*/)
	{
		return view;
	}
	// The controller for a node's "sub-controller" attribute; the node's view owns it.
	virtual IController* createSubController (UTF8StringPtr /*name*/,
	                                          const IUIDescription* /*description*/,
	                                          VST3Editor* /*editor*/)
	{
		return nullptr;
	}
	virtual void didOpen (VST3Editor* /*editor*/) {}
	virtual void willClose (VST3Editor* /*editor*/) {}
};

// The plug-in view of an editor built from an editor description. Controls whose
// control tag names a parameter edit it through the controller (which tells the host),
// and follow the parameter when it changes elsewhere, on any thread: the change wakes
// the host's run loop, which moves the controls on the UI thread. An editor nothing
// changes wakes nothing.
class VST3Editor : public Steinberg::FObject, public Steinberg::IPlugView, public IController
{
public:
	// A platform type of our own: the editor opens without a window (tests, pictures).
	static constexpr Steinberg::FIDString kPlatformTypeOffscreen = "VSTGUI.Offscreen";
	// Period of the timer that brings parameter changes to the controls when the host's
	// run loop watches no descriptors.
	static constexpr uint32 kUpdatePeriodMs = 16;

	// xmlFile is a path, or a name inside the loaded module's <bundle>/Contents/Resources.
	VST3Editor (Steinberg::Vst::EditController* controller, UTF8StringPtr templateName,
	            UTF8StringPtr xmlFile);
	~VST3Editor () override;

	// False when the description cannot be read or its template has no usable size.
	bool isDescriptionLoaded () const { return templateSize.x > 0.; }
	Steinberg::Vst::EditController* getController () const { return controller; }
	const UIDescription* getUIDescription () const { return description.get (); }
	// The open frame, or null.
	CFrame* getFrame () const { return frame; }

	// IPlugView
	Steinberg::tresult PLUGIN_API isPlatformTypeSupported (Steinberg::FIDString type) override;
	Steinberg::tresult PLUGIN_API attached (void* parent, Steinberg::FIDString type) override;
	Steinberg::tresult PLUGIN_API removed () override;
	Steinberg::tresult PLUGIN_API onWheel (float distance) override;
	Steinberg::tresult PLUGIN_API onKeyDown (Steinberg::char16 key, Steinberg::int16 keyCode,
	                                         Steinberg::int16 modifiers) override;
	Steinberg::tresult PLUGIN_API onKeyUp (Steinberg::char16 key, Steinberg::int16 keyCode,
	                                       Steinberg::int16 modifiers) override;
	Steinberg::tresult PLUGIN_API getSize (Steinberg::ViewRect* size) override;
	Steinberg::tresult PLUGIN_API onSize (Steinberg::ViewRect* newSize) override;
	Steinberg::tresult PLUGIN_API onFocus (Steinberg::TBool state) override;
	Steinberg::tresult PLUGIN_API setFrame (Steinberg::IPlugFrame* frame) override;
	Steinberg::tresult PLUGIN_API canResize () override;
	Steinberg::tresult PLUGIN_API checkSizeConstraint (Steinberg::ViewRect* rect) override;

	// IController: the editor is the controller of the description's top level.
	void valueChanged (CControl* control) override;
	void controlBeginEdit (CControl* control) override;
	void controlEndEdit (CControl* control) override;
	CView* createView (const UIAttributes& attributes, const IUIDescription* description) override;
	CView* verifyView (CView* view, const UIAttributes& attributes,
	                   const IUIDescription* description) override;
	IController* getSubController (UTF8StringPtr name, const IUIDescription* description) override;

	OBJ_METHODS (VST3Editor, FObject)
	DEFINE_INTERFACES
	DEF_INTERFACE (Steinberg::IPlugView)
	END_DEFINE_INTERFACES (FObject)
	REFCOUNT_METHODS (FObject)

private:
	// The template's size in whole pixels (the description keeps it within 16384).
	Steinberg::int32 width () const { return static_cast<Steinberg::int32> (templateSize.x); }
	Steinberg::int32 height () const { return static_cast<Steinberg::int32> (templateSize.y); }
	bool open (void* parent, PlatformType type, IPlatformFrameConfig& config);
	void close ();
	void applyParameterChanges ();
	Steinberg::Vst::Parameter* parameterOf (CControl* control) const;
	bool dispatchKey (bool down, Steinberg::char16 key, Steinberg::int16 keyCode,
	                  Steinberg::int16 modifiers);

	Steinberg::IPtr<Steinberg::Vst::EditController> controller;
	VST3EditorDelegate* delegate;
	std::string templateName;
	std::unique_ptr<UIDescription> description;
	CPoint templateSize;
	Steinberg::IPtr<Steinberg::IPlugFrame> plugFrame;
	SharedPointer<IRunLoop> runLoop;
	SharedPointer<CFrame> frame;
	// Lives from open() to the end of close(), past the bindings that raise it.
	std::unique_ptr<ChangeSignal> changeSignal;
	std::map<Steinberg::Vst::ParamID, Steinberg::IPtr<ParameterBinding>> bindings;
};

} // namespace VSTGUI
