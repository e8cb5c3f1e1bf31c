// The portable build has no device to draw on: every drawing call leaves its target alone, a
// measured text keeps its rectangle and no link is collected. Which path the renderer would
// take is "its own", as no graphics library exists here.

#include "skin_ui/SkinRenderer.h"

namespace SkinUI {

RenderPath CSkinRenderer::GetBlendPath() { return RenderPath::kOwn; }
RenderPath CSkinRenderer::GetGradientPath() { return RenderPath::kOwn; }
void CSkinRenderer::DrawColor(NativeDC, const UIRect&, UIColor) {}
void CSkinRenderer::DrawGradient(NativeDC, const UIRect&, UIColor, UIColor, bool, int) {}
void CSkinRenderer::DrawLine(NativeDC, const UIRect&, int32_t, UIColor, int32_t) {}
void CSkinRenderer::DrawRect(NativeDC, const UIRect&, int32_t, UIColor, int32_t) {}
void CSkinRenderer::DrawRoundRect(NativeDC, const UIRect&, int32_t, int32_t, int32_t, UIColor, int32_t) {}
bool CSkinRenderer::DrawImage(NativeDC, CWindowManagerUI&, const UIRect&, const UIRect&, UIDrawInfo&) { return false; }
void CSkinRenderer::DrawImageBitmap(NativeDC, const UIImageInfo&, const UIRect&, const UIRect&, const UIRect&,
                                    const UIRect&, bool, uint8_t, bool, bool, bool) {}
void CSkinRenderer::DrawPlainText(NativeDC, CWindowManagerUI&, UIRect&, const wchar_t*, UIColor, int, uint32_t) {}
void CSkinRenderer::DrawMarkupText(NativeDC, CWindowManagerUI&, UIRect&, const wchar_t*, UIColor, UIRect*, CUIString*,
                                   int& linkCount, int, uint32_t) {
  linkCount = 0;
}
NativeBitmap CSkinRenderer::CaptureBitmap(CWindowManagerUI&, const UIRect&, CControlUI*, UIColor) { return nullptr; }

CRenderClip::CRenderClip(NativeDC, const UIRect&) {}
CRenderClip::CRenderClip(NativeDC, const UIRect&, const UIRect&, int32_t, int32_t) {}
CRenderClip::~CRenderClip() = default;

}  // namespace SkinUI
