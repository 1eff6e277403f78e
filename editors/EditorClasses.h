#pragma once

namespace orlit {

// Publishes the editor library's classes for window layouts, after the framework's: the
// containers and editors with their styles and properties objects. Registers them on the first
// call only.
void RegisterEditorClasses();

}  // namespace orlit
