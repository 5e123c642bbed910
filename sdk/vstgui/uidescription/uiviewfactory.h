#pragma once

#include "iviewcreator.h"

namespace VSTGUI {

// Makes views from description nodes through the registered view creators. A node's
// "class" names its creator; the attributes are applied along the chain of base view
// classes, so a slider node gets the CView and CControl attributes as well as its own.
// The class's own creator goes first and CView's last: a view's size is applied once
// everything it depends on (a slider's orientation and handle) is in place.
class UIViewFactory
{
public:
	// The creator must live until it is unregistered; a second creator of the same view
	// name replaces the first.
	static void registerViewCreator (const IViewCreator& creator);
	static void unregisterViewCreator (const IViewCreator& creator);
	static const IViewCreator* getViewCreator (const std::string& viewName);

	// A new view (one reference for the caller), or null when the class is unknown or
	// not creatable, or an attribute cannot be applied to the view.
	static CView* createView (const UIAttributes& attributes, const IUIDescription* description);
	// Applies the attributes of every class of the chain that starts at viewName.
	static bool applyAttributeValues (CView* view, const std::string& viewName,
	                                  const UIAttributes& attributes,
	                                  const IUIDescription* description);
};

} // namespace VSTGUI
