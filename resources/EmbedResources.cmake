# Writes OUTPUT, a C++ source that holds every file of INPUTS ("|"-separated paths) as a byte
# array and lists them, sorted by name, for platform/Resources.h. Run with cmake -P.
string(REPLACE "|" ";" inputs "${INPUTS}")
set(arrays "")
set(entries "")
set(index 0)
string(REPEAT "[0-9a-f]" 32 line_of_hex)
foreach(input IN LISTS inputs)
  get_filename_component(name "${input}" NAME_WE)
  file(READ "${input}" hex HEX)
  string(REGEX REPLACE "(${line_of_hex})" "\\1\n" hex "${hex}")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "// ${name}\nconstexpr std::uint8_t kData${index}[] = {\n${bytes}\n};\n\n")
  string(APPEND entries "    {\"${name}\", kData${index}},\n")
  math(EXPR index "${index} + 1")
endforeach()
if(index EQUAL 0)
  set(table "std::span<const ResourceEntry> EmbeddedResources() { return {}; }\n")
else()
  string(CONCAT table "namespace {\n\n" "${arrays}"
         "constexpr ResourceEntry kEntries[] = {\n${entries}};\n\n}  // namespace\n\n"
         "std::span<const ResourceEntry> EmbeddedResources() { return kEntries; }\n")
endif()
file(WRITE "${OUTPUT}.tmp"
     "// Generated from resources/ by resources/EmbedResources.cmake; edit the resources instead.\n"
     "#include <cstdint>\n#include <span>\n\n#include \"platform/Resources.h\"\n\n"
     "namespace orlit {\n\n${table}\n}  // namespace orlit\n")
# Only a changed source gets rebuilt.
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
