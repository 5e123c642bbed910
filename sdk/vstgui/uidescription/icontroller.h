#pragma once

#include "../lib/controls/icontrollistener.h"
#include "../lib/vstguifwd.h"

namespace VSTGUI {

class UIAttributes;
class IUIDescription;

// Takes part in building views from an editor description. Views of a node with a
// "sub-controller" attribute get the controller that getSubController answers, and
// the view of that node owns it.
class IController : public IControlListener
{
public:
	// The listener of a control whose node names a control tag.
	virtual IControlListener* getControlListener (UTF8StringPtr /*controlTagName*/)
	{
		return this;
	}
	// A view of the controller's own making instead of the factory's, or null.
	virtual CView* createView (const UIAttributes& /*attributes*/,
	                           const IUIDescription* /*description*/)
	{
		return nullptr;
	}
	// Called for every view built under the controller, its children first. Answering
	// null leaves the view out.
	virtual CView* verifyView (CView* view, const UIAttributes& /*attributes*/,
	                           const IUIDescription* /*description*/)
	{
		return view;
	}
	virtual IController* getSubController (UTF8StringPtr /*name*/,
	                                       const IUIDescription* /*description*/)
	{
		return nullptr;
	}
};

} // namespace VSTGUI
