// The portable build has no rich-text services: a rich edit keeps its text and paints as a
// container.

#include "skin_ui/RichTextHost.h"

namespace SkinUI {

std::unique_ptr<IRichTextHost> CreateRichTextHost(CRichEditUI&) { return nullptr; }

}  // namespace SkinUI
