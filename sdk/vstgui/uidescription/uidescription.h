#pragma once

#include "iuidescription.h"
#include "uiattributes.h"
#include "../lib/ccolor.h"
#include "../lib/cfont.h"
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace VSTGUI {

class IController;

// An editor description read from an XML file:
//   <vstgui-ui-description version="1">
//     <bitmaps><bitmap name="..." path="file.png"/></bitmaps>
//     <colors><color name="..." rgba="#rrggbbaa"/></colors>
//     <fonts><font name="..." font-name="sans-serif" size="12" bold="true"/></fonts>
//     <control-tags><control-tag name="..." tag="1"/></control-tags>
//     <template name="..." class="CViewContainer" size="w, h"> <view class="..."/> ... </template>
//   </vstgui-ui-description>
// Bitmap paths are relative to the file's folder.
class UIDescription : public IUIDescription
{
public:
	// Caps on a description. Binding controls to a parameter takes time in the square of
	// their number, so the elements are kept far below what would fit in the file.
	static constexpr size_t kMaxFileSize = 4 * 1024 * 1024; // bytes
	static constexpr size_t kMaxElements = 10000;
	static constexpr size_t kMaxDepth = 32;

	explicit UIDescription (std::string filePath);
	~UIDescription () noexcept override;
	UIDescription (const UIDescription&) = delete;
	UIDescription& operator= (const UIDescription&) = delete;

	// Reads the file and loads its bitmaps. False for a missing, empty, unreadable or
	// malformed file, one beyond the caps or with a document type, one that is not a
	// regular file, a malformed resource entry or a bitmap that cannot be read.
	bool parse () noexcept;
	const std::string& getFilePath () const { return filePath; }

	// The "size" of a template; false for an unknown template or one without a usable size.
	bool getTemplateSize (UTF8StringPtr name, CPoint& size) const;
	// Builds the views of a template, asking controller along the way (see IController).
	// Returns the root view with one reference for the caller, or null when the template
	// is unknown or its root view cannot be made. A node whose view cannot be made (an
	// unknown class, say) is left out with everything below it.
	CView* createView (UTF8StringPtr templateName, IController* controller) const noexcept;

	// IUIDescription
	CBitmap* getBitmap (UTF8StringPtr name) const override;
	CFontRef getFont (UTF8StringPtr name) const override;
	bool getColor (UTF8StringPtr name, CColor& color) const override;
	int32 getTagForName (UTF8StringPtr name) const override;
	bool lookupBitmapName (const CBitmap* bitmap, std::string& name) const override;
	bool lookupColorName (const CColor& color, std::string& name) const override;

	struct Node
	{
		std::string name;
		UIAttributes attributes;
		std::vector<std::unique_ptr<Node>> children;
	};

private:
	bool readResources (const Node& root);
	bool addBitmap (const Node& node);
	bool addColor (const Node& node);
	bool addFont (const Node& node);
	bool addControlTag (const Node& node);
	CView* createViewFromNode (const Node& node, IController* controller) const;

	std::string filePath;
	std::unique_ptr<Node> root;
	std::map<std::string, SharedPointer<CBitmap>> bitmaps;
	// By path, while parsing.
	std::map<std::string, SharedPointer<CBitmap>> bitmapFiles;
	std::map<std::string, CColor> colors;
	std::map<std::string, SharedPointer<CFontDesc>> fonts;
	std::map<std::string, int32> tags;
	std::map<std::string, const Node*> templates;
};

} // namespace VSTGUI
