#include "uiviewfactory.h"
#include "uiattributes.h"
#include "uiviewcreator.h"
#include "../lib/cview.h"
#include <map>
#include <vector>

namespace VSTGUI {

namespace {

std::map<std::string, const IViewCreator*>& registry ()
{
	static std::map<std::string, const IViewCreator*> creators;
	return creators;
}

// The creators from viewName to the root, the root last; empty when a class is unknown.
std::vector<const IViewCreator*> chainOf (const std::string& viewName)
{
	// Deeper than any real class tree; stops a description's creators naming each other.
	constexpr size_t kMaxDepth = 16;
	std::vector<const IViewCreator*> chain;
	std::string name = viewName;
	while (!name.empty ())
	{
		const IViewCreator* creator = UIViewFactory::getViewCreator (name);
		if (!creator || chain.size () == kMaxDepth)
			return {};
		chain.push_back (creator);
		const char* base = creator->getBaseViewName ();
		name = base ? base : "";
	}
	return chain;
}

} // namespace

void UIViewFactory::registerViewCreator (const IViewCreator& creator)
{
	if (const char* name = creator.getViewName ())
		registry ()[name] = &creator;
}

void UIViewFactory::unregisterViewCreator (const IViewCreator& creator)
{
	auto& creators = registry ();
	for (auto it = creators.begin (); it != creators.end (); ++it)
	{
		if (it->second == &creator)
		{
			creators.erase (it);
			return;
		}
	}
}

const IViewCreator* UIViewFactory::getViewCreator (const std::string& viewName)
{
	auto& creators = registry ();
	auto it = creators.find (viewName);
	return it == creators.end () ? nullptr : it->second;
}

CView* UIViewFactory::createView (const UIAttributes& attributes,
                                  const IUIDescription* description)
{
	const std::string* className = attributes.getAttributeValue (UIViewCreator::kAttrClass);
	if (!className)
		return nullptr;
	const IViewCreator* creator = getViewCreator (*className);
	if (!creator)
		return nullptr;
	CView* view = creator->create (attributes, description);
	if (view && !applyAttributeValues (view, *className, attributes, description))
	{
		view->forget ();
		view = nullptr;
	}
	return view;
}

bool UIViewFactory::applyAttributeValues (CView* view, const std::string& viewName,
                                          const UIAttributes& attributes,
                                          const IUIDescription* description)
{
	const auto chain = chainOf (viewName);
	if (chain.empty () || !view)
		return false;
	for (const IViewCreator* creator : chain)
	{
		if (!creator->apply (view, attributes, description))
			return false;
	}
	return true;
}

} // namespace VSTGUI
