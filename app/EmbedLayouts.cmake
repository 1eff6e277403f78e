# Writes OUTPUT, a C++ source that holds every layout of INPUTS ("|"-separated paths, NAME.layout)
# as a function NAMELayout() answering its text (app/Layouts.h). Run with cmake -P.
string(REPLACE "|" ";" inputs "${INPUTS}")
set(functions "")
string(REPEAT "[0-9a-f]" 32 line_of_hex)
foreach(input IN LISTS inputs)
  get_filename_component(name "${input}" NAME_WE)
  file(READ "${input}" hex HEX)
  string(REGEX REPLACE "(${line_of_hex})" "\\1\n" hex "${hex}")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," chars "${hex}")
  string(APPEND functions
         "std::string_view ${name}Layout() {\n  static constexpr unsigned char kText[] = {\n${chars}\n};\n"
         "  return {reinterpret_cast<const char*>(kText), sizeof kText};\n}\n\n")
endforeach()
file(WRITE "${OUTPUT}.tmp"
     "// Generated from app/*.layout by app/EmbedLayouts.cmake; edit the layouts instead.\n"
     "#include \"app/Layouts.h\"\n\nnamespace orlit {\n\n${functions}}  // namespace orlit\n")
# Only a changed source gets rebuilt.
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
