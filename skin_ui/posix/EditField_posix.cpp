// The portable build has no native windows: an edit control shows its text but opens no field.

#include "skin_ui/EditField.h"

namespace SkinUI {

IEditField* OpenEditField(CEditUI&) { return nullptr; }

}  // namespace SkinUI
