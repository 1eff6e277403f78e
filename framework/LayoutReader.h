#pragma once

// A window layout: the component tree of a form as text. One component is its class, its name
// and, in braces, its property lines and its child components; the nesting of the text is the
// nesting of the parents:
//
//   FontA: { Name: "MS Sans Serif"  Height: -13 }  // a named set of properties
//   TForm1 Form1 {                       // the root: the form being built
//     Caption: "Orlit_CFS by Orlit Soft"   // string (UTF-8; \" \\ \n escapes)
//     ClientWidth: 567                     // integer
//     Position: poDesktopCenter            // enumeration value
//     Color: clBtnFace                     // colour: a name or an integer (0x00BBGGRR)
//     OnCreate: FormCreate                 // event: a handler of the root's class
//     TcxTextEdit cxTextEdit1 {            // child: created, named, parented here
//       Style: {                           // nested object property
//         Font: { Name: "MS Sans Serif"  Height: -13  Style: [fsBold] }  // set
//         Shadow: true                     // boolean
//       }
//       StyleHot.Color: clLime             // a nested property by its path
//       StyleFocused.Font: FontA           // an object property set from a named set
//     }
//   }
//
// Lists ([...]) hold set elements or strings (the lines of a string list); a picture property
// names an embedded picture resource. Line breaks are blanks; `//` starts a comment.
// Registering classes and their properties: framework/PublishedClasses.h.

#include <string>
#include <string_view>

#include "convert/Exceptions.h"
#include "framework/Component.h"

namespace orlit {

// A layout that cannot be read: "<file>:<line>:<column>: <what>".
ORLIT_EXCEPTION_CLASS(ELayoutError, Exception);

// Builds `root`'s properties and components from `text`, whose top component must be of
// `root`'s registered class. Components are owned by `root`, in the order of the text. Call it
// from the root's constructor, while the root is loading: ending the loading (a form does so
// after its constructor) tells every component through Loaded, then a form fires OnCreate.
// Throws ELayoutError naming `file_name`, line and column for an unknown class, property or
// handler, a value of the wrong kind, a declared component the text lacks, or a value the
// component refuses.
void ReadLayout(TComponent& root, std::string_view text, std::string_view file_name);

}  // namespace orlit
