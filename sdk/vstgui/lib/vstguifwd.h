#pragma once

#include "vstguibase.h"

namespace VSTGUI {

struct CPoint;
struct CRect;
struct CColor;
struct VstKeyCode;
class CButtonState;
class UTF8String;
class CView;
class CViewContainer;
class CFrame;
class IController;
class IRunLoop;
class CControl;
class CBitmap;
class CDrawContext;
class COffscreenContext;
class CGraphicsPath;
class CVSTGUITimer;
class CFontDesc;
class CTextLabel;
class COnOffButton;
class IViewListener;
class IControlListener;

using CFontRef = CFontDesc*;

} // namespace VSTGUI
