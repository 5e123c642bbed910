// Slider attributes of editor descriptions, through the view factory.
#include "slidertestutil.h"

#include "vstgui/uidescription/uiattributes.h"
#include "vstgui/uidescription/uiviewcreator.h"
#include "vstgui/uidescription/uiviewfactory.h"
#include "sliderbasecreator.h"

#include <list>

namespace VSTGUI {
namespace test {
namespace {

using Names = std::list<std::string>;

// A slider as a description node with these attributes makes it.
SharedPointer<CSlider> fromNode (std::initializer_list<std::pair<const char*, const char*>> attrs)
{
	UIViewCreator::registerViewCreators ();
	UIAttributes attributes;
	attributes.setAttribute ("class", "CSlider");
	for (const auto& a : attrs)
		attributes.setAttribute (a.first, a.second);
	auto view = owned (UIViewFactory::createView (attributes, nullptr));
	return shared (dynamic_cast<CSlider*> (view.get ()));
}

std::string valueOf (CSlider* slider, const std::string& name)
{
	std::string value = "(none)";
	UIViewFactory::getViewCreator ("CSlider")->getAttributeValue (slider, name, value, nullptr);
	return value;
}

TEST (SliderCreator, ModesByExactName)
{
	const struct
	{
		std::initializer_list<std::pair<const char*, const char*>> attrs;
		CSliderMode mode;
	} cases[] = {
	    {{}, CSliderMode::UseGlobal},
	    {{{"mode", "KW free click"}}, CSliderMode::KWFreeClick},
	    {{{"mode", "ramp"}}, CSliderMode::Ramp},
	    {{{"mode", "use global"}}, CSliderMode::UseGlobal},
	    {{{"mode", "KW Free Click"}}, CSliderMode::UseGlobal},
	    {{{"mode", "ramp "}}, CSliderMode::UseGlobal},
	    {{{"free-click", "false"}}, CSliderMode::Touch},
	    {{{"free-click", "true"}}, CSliderMode::FreeClick},
	    {{{"free-click", "true"}, {"mode", "ramp"}}, CSliderMode::Ramp},
	    {{{"free-click", "true"}, {"mode", "Ramp"}}, CSliderMode::FreeClick},
	};
	for (const auto& c : cases)
	{
		auto s = fromNode (c.attrs);
		ASSERT_TRUE (s);
		EXPECT_EQ (s->getSliderMode (), c.mode);
	}
	EXPECT_EQ (valueOf (fromNode ({}), "mode"), "use global");
	EXPECT_EQ (valueOf (fromNode ({{"free-click", "true"}}), "mode"), "free click");
}

TEST (SliderCreator, OrientationZoomAndTheBaseClassAttributes)
{
	auto s = fromNode ({{"orientation", "vertical"}, {"reverse-orientation", "true"},
	                    {"zoom-factor", "2.5"}, {"handle-offset", "3, 4"}, {"size", "20, 100"},
	                    {"default-value", "0.25"}});
	ASSERT_TRUE (s);
	EXPECT_EQ (s->getStyle (), 22); // the kLeft bit of a new slider stays
	EXPECT_EQ (valueOf (s, "orientation"), "vertical");
	EXPECT_EQ (valueOf (s, "reverse-orientation"), "true");
	EXPECT_EQ (s->getZoomFactor (), 2.5f);
	EXPECT_EQ (valueOf (s, "zoom-factor"), "2.5");
	EXPECT_EQ (valueOf (s, "handle-offset"), "3, 4");
	// CView's and CControl's attributes reach the slider too.
	EXPECT_EQ (s->getViewSize (), CRect (0, 0, 20, 100));
	EXPECT_EQ (s->getDefaultValue (), 0.25f);

	auto h = fromNode ({{"orientation", "Vertical"}, {"reverse-orientation", "yes"},
	                    {"zoom-factor", "2,5"}});
	EXPECT_EQ (h->getStyle (), S::kHorizontal | S::kLeft);
	EXPECT_EQ (valueOf (h, "reverse-orientation"), "false");
	EXPECT_EQ (h->getZoomFactor (), 10.f);
	EXPECT_EQ (valueOf (h, "no-such-name"), "(none)");
}

TEST (SliderCreator, AttributeNamesTypesAndLists)
{
	UIViewCreator::registerViewCreators ();
	const IViewCreator* creator = UIViewFactory::getViewCreator ("CSlider");
	ASSERT_NE (creator, nullptr);
	Names names {"first"};
	EXPECT_TRUE (creator->getAttributeNames (names));
	const Names expected {"first", "mode", "orientation", "reverse-orientation", "handle-offset",
	                      "zoom-factor", "handle-bitmap", "bitmap-offset", "draw-frame", "draw-back",
	                      "draw-value", "draw-value-from-center", "draw-value-inverted",
	                      "frame-width", "draw-frame-color", "draw-back-color", "draw-value-color"};
	EXPECT_EQ (names, expected);

	EXPECT_EQ (creator->getAttributeType ("mode"), IViewCreator::kListType);
	EXPECT_EQ (creator->getAttributeType ("handle-offset"), IViewCreator::kPointType);
	EXPECT_EQ (creator->getAttributeType ("free-click"), IViewCreator::kUnknownType);
	EXPECT_STREQ (creator->getBaseViewName (), "CControl");
	EXPECT_STREQ (creator->getDisplayName (), "Slider");

	IViewCreator::ConstStringPtrList modes;
	ASSERT_TRUE (creator->getPossibleListValues ("mode", modes));
	ASSERT_EQ (modes.size (), 6u);
	EXPECT_EQ (**std::next (modes.begin (), 3), "KW free click");
	EXPECT_EQ (*std::next (modes.begin (), 5), &getModeStrings ()[5]);
	IViewCreator::ConstStringPtrList orientations;
	ASSERT_TRUE (creator->getPossibleListValues ("orientation", orientations));
	EXPECT_EQ (*orientations.front (), "horizontal");
	EXPECT_FALSE (creator->getPossibleListValues ("draw-frame", orientations));

	// Not a slider: nothing applied, nothing read.
	CView plain (CRect (0, 0, 1, 1));
	UIAttributes attributes;
	attributes.setAttribute ("mode", "ramp");
	EXPECT_FALSE (creator->apply (&plain, attributes, nullptr));
	std::string value;
	EXPECT_FALSE (creator->getAttributeValue (&plain, "mode", value, nullptr));
}

} // namespace
} // namespace test
} // namespace VSTGUI
