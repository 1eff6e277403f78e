#pragma once

namespace orlit {

// Makes the editor controls known to the accessible model: text editors and memos as entries and
// multi-line text with their text, caret and editing; labels with their caption; group boxes as
// named panels; pictures as images.
void RegisterEditorAccessibles();

}  // namespace orlit
