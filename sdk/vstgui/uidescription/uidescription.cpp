#include "uidescription.h"
#include "icontroller.h"
#include "uiviewcreator.h"
#include "uiviewfactory.h"
#include "../lib/cbitmap.h"
#include "../lib/cfileread.h"
#include "../lib/cviewcontainer.h"
#include "../lib/controls/ccontrol.h"
#include <algorithm>
#include <cstdint>
#include <expat.h>

namespace VSTGUI {

namespace {

constexpr CCoord kMaxTemplateSide = 16384.;

// Builds the element tree; text content is not used. Nothing may be thrown through expat:
// a failure stops the parser and marks the tree unusable.
struct TreeBuilder
{
	XML_Parser parser;
	std::unique_ptr<UIDescription::Node> root;
	std::vector<UIDescription::Node*> stack;
	size_t elements {0};
	bool failed {false};

	void stop ()
	{
		failed = true;
		XML_StopParser (parser, XML_FALSE);
	}

	void add (const XML_Char* name, const XML_Char** atts)
	{
		if (++elements > UIDescription::kMaxElements || stack.size () >= UIDescription::kMaxDepth ||
		    (stack.empty () && root))
			return stop ();
		auto node = std::make_unique<UIDescription::Node> ();
		node->name = name;
		for (size_t i = 0; atts[i] && atts[i + 1]; i += 2)
			node->attributes.setAttribute (atts[i], atts[i + 1]);
		UIDescription::Node* raw = node.get ();
		if (stack.empty ())
			root = std::move (node);
		else
			stack.back ()->children.push_back (std::move (node));
		stack.push_back (raw);
	}

	static void XMLCALL start (void* userData, const XML_Char* name, const XML_Char** atts) noexcept
	{
		auto& self = *static_cast<TreeBuilder*> (userData);
		try
		{
			self.add (name, atts);
		}
		catch (const std::exception&)
		{
			self.stop ();
		}
	}

	static void XMLCALL end (void* userData, const XML_Char*) noexcept
	{
		auto& self = *static_cast<TreeBuilder*> (userData);
		if (!self.stack.empty ())
			self.stack.pop_back ();
	}

	// A description has no use for a document type, and its entities could multiply the text.
	static void XMLCALL doctype (void* userData, const XML_Char*, const XML_Char*, const XML_Char*,
	                             int) noexcept
	{
		static_cast<TreeBuilder*> (userData)->stop ();
	}
};

std::unique_ptr<UIDescription::Node> parseXML (const std::string& text)
{
	TreeBuilder builder;
	builder.parser = XML_ParserCreate (nullptr);
	if (!builder.parser)
		return nullptr;
	XML_SetUserData (builder.parser, &builder);
	XML_SetElementHandler (builder.parser, &TreeBuilder::start, &TreeBuilder::end);
	XML_SetStartDoctypeDeclHandler (builder.parser, &TreeBuilder::doctype);
	const bool ok = XML_Parse (builder.parser, text.data (), static_cast<int> (text.size ()),
	                           XML_TRUE) == XML_STATUS_OK;
	XML_ParserFree (builder.parser);
	if (!ok || builder.failed || !builder.stack.empty ())
		return nullptr;
	return std::move (builder.root);
}

std::string folderOf (const std::string& path)
{
	const auto slash = path.rfind ('/');
	return slash == std::string::npos ? std::string (".") : path.substr (0, slash);
}

// A path inside the description's folder: relative, without "..".
bool isPlainRelativePath (const std::string& path)
{
	return !path.empty () && path[0] != '/' && path.find ("..") == std::string::npos;
}

// The entry of map named name, or null.
template <class Map>
auto find (const Map& map, UTF8StringPtr name) -> const typename Map::mapped_type*
{
	auto it = map.find (name ? name : "");
	return it == map.end () ? nullptr : &it->second;
}

const std::string* required (const UIDescription::Node& node, const char* name)
{
	const auto* value = node.attributes.getAttributeValue (name);
	return value && !value->empty () ? value : nullptr;
}

} // namespace

UIDescription::UIDescription (std::string filePath) : filePath (std::move (filePath)) {}

UIDescription::~UIDescription () noexcept = default;

bool UIDescription::parse () noexcept
{
	try
	{
		std::string text;
		if (readRegularFile (filePath.c_str (), kMaxFileSize, text))
		{
			root = parseXML (text);
			if (root && root->name == "vstgui-ui-description" && readResources (*root))
			{
				bitmapFiles.clear ();
				return true;
			}
		}
	}
	catch (const std::exception&)
	{
		// Out of memory for a large description: as unreadable.
	}
	root = nullptr;
	bitmapFiles.clear ();
	bitmaps.clear ();
	colors.clear ();
	fonts.clear ();
	tags.clear ();
	templates.clear ();
	return false;
}

bool UIDescription::readResources (const Node& rootNode)
{
	struct Section
	{
		const char* name;
		const char* entry;
		bool (UIDescription::*add) (const Node&);
	};
	static const Section sections[] = {{"bitmaps", "bitmap", &UIDescription::addBitmap},
	                                   {"colors", "color", &UIDescription::addColor},
	                                   {"fonts", "font", &UIDescription::addFont},
	                                   {"control-tags", "control-tag", &UIDescription::addControlTag}};
	for (const auto& child : rootNode.children)
	{
		if (child->name == "template")
		{
			const auto* name = required (*child, "name");
			if (!name || !templates.emplace (*name, child.get ()).second)
				return false;
			continue;
		}
		for (const auto& section : sections)
		{
			if (child->name != section.name)
				continue;
			for (const auto& entry : child->children)
			{
				if (entry->name == section.entry && !(this->*section.add) (*entry))
					return false;
			}
		}
	}
	return true;
}

bool UIDescription::addBitmap (const Node& node)
{
	const auto* name = required (node, "name");
	const auto* path = required (node, "path");
	if (!name || !path || !isPlainRelativePath (*path))
		return false;
	// Names that share a file share its bitmap: the file is read once.
	auto& bitmap = bitmapFiles[*path];
	if (!bitmap)
		bitmap = makeOwned<CBitmap> (CResourceDescription ((folderOf (filePath) + "/" + *path).c_str ()));
	if (!bitmap->isLoaded ())
		return false;
	bitmaps[*name] = bitmap;
	return true;
}

bool UIDescription::addColor (const Node& node)
{
	const auto* name = required (node, "name");
	const auto* rgba = required (node, "rgba");
	CColor color;
	if (!name || !rgba || !UIViewCreator::parseColor (*rgba, color))
		return false;
	colors[*name] = color;
	return true;
}

bool UIDescription::addFont (const Node& node)
{
	const auto* name = required (node, "name");
	const auto* fontName = required (node, "font-name");
	double size = 12.;
	if (!name || !fontName || !node.attributes.getDoubleAttribute ("size", size) || !(size > 0.) ||
	    size > 1000.)
		return false;
	bool bold = false, italic = false;
	node.attributes.getBooleanAttribute ("bold", bold);
	node.attributes.getBooleanAttribute ("italic", italic);
	const int32 style = (bold ? kBoldFace : 0) | (italic ? kItalicFace : 0);
	fonts[*name] = makeOwned<CFontDesc> (fontName->c_str (), size, style);
	return true;
}

bool UIDescription::addControlTag (const Node& node)
{
	const auto* name = required (node, "name");
	int32 tag;
	if (!name || !node.attributes.getIntegerAttribute ("tag", tag) || tag < 0)
		return false;
	tags[*name] = tag;
	return true;
}

bool UIDescription::getTemplateSize (UTF8StringPtr name, CPoint& size) const
{
	const auto* node = find (templates, name);
	CPoint s;
	if (!node || !(*node)->attributes.getPointAttribute (UIViewCreator::kAttrSize, s))
		return false;
	if (!(s.x >= 1. && s.y >= 1. && s.x <= kMaxTemplateSide && s.y <= kMaxTemplateSide))
		return false;
	size = s;
	return true;
}

CView* UIDescription::createView (UTF8StringPtr templateName, IController* controller) const noexcept
{
	try
	{
		UIViewCreator::registerViewCreators ();
		const auto* node = find (templates, templateName);
		return node ? createViewFromNode (**node, controller) : nullptr;
	}
	catch (const std::exception&)
	{
		// Out of memory for the views; those made so far are released on the way out.
		return nullptr;
	}
}

CView* UIDescription::createViewFromNode (const Node& node, IController* controller) const
{
	const UIAttributes& attributes = node.attributes;
	std::unique_ptr<IController> subController;
	const auto* subName = attributes.getAttributeValue (UIViewCreator::kAttrSubController);
	if (subName && controller)
		subController.reset (controller->getSubController (subName->c_str (), this));
	IController* current = subController ? subController.get () : controller;

	SharedPointer<CView> view;
	if (current)
		view = owned (current->createView (attributes, this));
	if (!view)
		view = owned (UIViewFactory::createView (attributes, this));
	if (!view)
		return nullptr;
	// The view owns its sub-controller from here on.
	if (subController)
		view->setController (subController.release ());

	if (auto* container = dynamic_cast<CViewContainer*> (view.get ()))
	{
		for (const auto& child : node.children)
		{
			if (child->name != "view")
				continue;
			if (CView* childView = createViewFromNode (*child, current))
			{
				if (!container->addView (childView))
					childView->forget ();
			}
		}
	}
	auto* control = dynamic_cast<CControl*> (view.get ());
	const auto* tagName = attributes.getAttributeValue (UIViewCreator::kAttrControlTag);
	if (control && tagName && current)
		control->setListener (current->getControlListener (tagName->c_str ()));
	if (current)
	{
		// Null leaves the view out; another view takes its place.
		CView* verified = current->verifyView (view, attributes, this);
		if (!verified)
			return nullptr;
		view = verified;
	}
	CView* result = view.get ();
	result->remember ();
	return result;
}

CBitmap* UIDescription::getBitmap (UTF8StringPtr name) const
{
	const auto* bitmap = find (bitmaps, name);
	return bitmap ? bitmap->get () : nullptr;
}

CFontRef UIDescription::getFont (UTF8StringPtr name) const
{
	const auto* font = find (fonts, name);
	return font ? font->get () : nullptr;
}

bool UIDescription::getColor (UTF8StringPtr name, CColor& color) const
{
	if (const auto* named = find (colors, name))
	{
		color = *named;
		return true;
	}
	return name && UIViewCreator::parseColor (name, color);
}

int32 UIDescription::getTagForName (UTF8StringPtr name) const
{
	const auto* tag = find (tags, name);
	return tag ? *tag : -1;
}

bool UIDescription::lookupBitmapName (const CBitmap* bitmap, std::string& name) const
{
	for (const auto& entry : bitmaps)
	{
		if (bitmap && entry.second.get () == bitmap)
		{
			name = entry.first;
			return true;
		}
	}
	return false;
}

bool UIDescription::lookupColorName (const CColor& color, std::string& name) const
{
	for (const auto& entry : colors)
	{
		if (entry.second == color)
		{
			name = entry.first;
			return true;
		}
	}
	return false;
}

} // namespace VSTGUI
