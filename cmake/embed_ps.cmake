# Builds a C++ header of string constants from PostScript files, run as
#   cmake -DOUTPUT=<header> -DNAMESPACE=<ns> -DINPUTS=<a.ps|b.ps|...> -P embed_ps.cmake
# Each file <dir>/some_name.ps becomes `inline constexpr std::string_view
# kSomeName` in namespace NAMESPACE, holding what the printer is sent:
# lines that start with "%%%" (documentation) and empty lines are
# dropped; every other line, comments and DSC lines ("%%EndProlog")
# included, is kept byte for byte.

# The printer's text of one file.
function(printer_text file result)
  file(READ "${file}" text)
  string(PREPEND text "\n")
  string(REGEX REPLACE "\n%%%[^\n]*" "" text "${text}")
  string(REGEX REPLACE "\n\n+" "\n" text "${text}")
  string(REGEX REPLACE "^\n" "" text "${text}")
  if(text MATCHES "\\)PS\"")
    message(FATAL_ERROR "${file}: holds )PS\", which ends the C++ string")
  endif()
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

# kSomeName for some_name.ps.
function(constant_name file result)
  get_filename_component(base "${file}" NAME_WE)
  string(REPLACE "_" ";" words "${base}")
  set(name "k")
  foreach(word IN LISTS words)
    string(SUBSTRING "${word}" 0 1 first)
    string(SUBSTRING "${word}" 1 -1 rest)
    string(TOUPPER "${first}" first)
    string(APPEND name "${first}${rest}")
  endforeach()
  set(${result} "${name}" PARENT_SCOPE)
endfunction()

get_filename_component(guard "${OUTPUT}" NAME)
string(MAKE_C_IDENTIFIER "${NAMESPACE}_${guard}" guard)
string(TOUPPER "${guard}_" guard)
set(header "// Generated from PostScript files by embed_ps.cmake: edit those.\n")
string(APPEND header "#ifndef ${guard}\n#define ${guard}\n\n#include <string_view>\n\n")
string(APPEND header "namespace ${NAMESPACE} {\n")
string(REPLACE "|" ";" inputs "${INPUTS}")
foreach(file IN LISTS inputs)
  printer_text("${file}" text)
  constant_name("${file}" name)
  get_filename_component(base "${file}" NAME)
  string(APPEND header "\n/// ${base}\ninline constexpr std::string_view ${name} = R\"PS(${text})PS\";\n")
endforeach()
string(APPEND header "\n}  // namespace ${NAMESPACE}\n\n#endif  // ${guard}\n")
file(WRITE "${OUTPUT}" "${header}")
