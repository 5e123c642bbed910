#pragma once

// Attribute names shared by the view creators, and helpers for their values.

#include "iviewcreator.h"
#include "../lib/ccolor.h"

namespace VSTGUI {
namespace UIViewCreator {

// Nodes
constexpr auto kAttrClass = "class";
constexpr auto kAttrSubController = "sub-controller";
constexpr auto kAttrCustomViewName = "custom-view-name";
// CView
constexpr auto kAttrOrigin = "origin";
constexpr auto kAttrSize = "size";
constexpr auto kAttrTransparent = "transparent";
constexpr auto kAttrMouseEnabled = "mouse-enabled";
constexpr auto kAttrBitmap = "bitmap";
// CViewContainer
constexpr auto kAttrBackgroundColor = "background-color";
// CControl
constexpr auto kAttrControlTag = "control-tag";
constexpr auto kAttrDefaultValue = "default-value";
constexpr auto kAttrMinValue = "min-value";
constexpr auto kAttrMaxValue = "max-value";
constexpr auto kAttrWheelIncValue = "wheel-inc-value";
// CParamDisplay, CTextLabel
constexpr auto kAttrFont = "font";
constexpr auto kAttrFontColor = "font-color";
constexpr auto kAttrBackColor = "back-color";
constexpr auto kAttrTextAlignment = "text-alignment";
constexpr auto kAttrTitle = "title";
// Sliders
constexpr auto kAttrMode = "mode";
constexpr auto kAttrOrientation = "orientation";
constexpr auto kAttrReverseOrientation = "reverse-orientation";
constexpr auto kAttrHandleOffset = "handle-offset";
constexpr auto kAttrZoomFactor = "zoom-factor";
constexpr auto kAttrFreeClick = "free-click";
constexpr auto kAttrHandleBitmap = "handle-bitmap";
constexpr auto kAttrBitmapOffset = "bitmap-offset";
constexpr auto kAttrDrawFrame = "draw-frame";
constexpr auto kAttrDrawBack = "draw-back";
constexpr auto kAttrDrawValue = "draw-value";
constexpr auto kAttrDrawValueFromCenter = "draw-value-from-center";
constexpr auto kAttrDrawValueInverted = "draw-value-inverted";
constexpr auto kAttrFrameWidth = "frame-width";
constexpr auto kAttrDrawFrameColor = "draw-frame-color";
constexpr auto kAttrDrawBackColor = "draw-back-color";
constexpr auto kAttrDrawValueColor = "draw-value-color";

// Appends the values of the list attributes several classes share ("orientation",
// "text-alignment"); false for any other name.
bool getStandardAttributeListValues (const std::string& attributeName,
                                     IViewCreator::ConstStringPtrList& values);

// A colour by its name in the description, or as "#rrggbbaa".
std::string colorToString (const CColor& color, const IUIDescription* description);
// "#rrggbb" or "#rrggbbaa".
bool parseColor (const std::string& text, CColor& color);

// Registers the creators of the library's views with the view factory; calls after
// the first do nothing.
void registerViewCreators ();

} // namespace UIViewCreator
} // namespace VSTGUI
