#include "compose.h"

#include <cstring>

#include "options.h"
#include "printeroptions.h"

const char* const filterNames[5] = {"zavpsif", "zavpsof", "zavpsvf",
                                    "zavpsg4f", nullptr};

namespace {

// Whitespace that separates options on a line: all but the newline.
bool isBlank(char c) { return c != '\n' && isWhite(c); }

/// How a token on a filter line is handled.
struct TokenRule {
  const char* prefix;
  const char* other;  // a second spelling, or nullptr
  int option;       // a ManagedOption, or M_Count + a generated rule's index
  bool with_value;  // the option's value goes with it
  bool keep;        // a present flag is kept as it is, not rewritten
};

// Tried in this order; the first that fits handles the token.
const TokenRule tokentab[] = {
    {"-I", nullptr, M_Input, true, false},
    {"-O", nullptr, M_Output, true, false},
    {"-d", "-D", M_Duplex, false, false},
    {"-t", "-T", M_Toner, false, true},
    {"-E", nullptr, M_Enhance, false, true},
    {"-Cl", nullptr, M_Collate, false, true},
    {"-C", nullptr, M_Policy, true, false},
    // "-JN" and "-JU=" are settings of their own: taken by the "-J" rule
    // they would be rewritten as "-J<n>" and appended again on every run.
    {"-JN", nullptr, M_JogNone, false, true},
    {"-JU=", nullptr, M_JogUser, true, false},
    {"-J", nullptr, M_Jog, true, false},
    {"-Nc=", nullptr, M_Copies, true, false},
    {"-ps", nullptr, M_PostScript, false, true},
    {"-G4", nullptr, M_G4, false, true},
    {"-Hd=", nullptr, M_StampPosition, true, false},
    {nullptr, nullptr, M_Count, false, false},
};

bool startsWith(const std::string& s, size_t pos, const char* prefix) {
  return prefix && s.compare(pos, std::strlen(prefix), prefix) == 0;
}

const TokenRule* fixedRuleAt(const std::string& line, size_t pos) {
  for (const TokenRule* r = tokentab; r->prefix; ++r)
    if (startsWith(line, pos, r->prefix) || startsWith(line, pos, r->other))
      return r;
  return nullptr;
}

/// A rule for each printer option the table above does not know, made
/// from the option table; appended after the fixed ones.
struct TableRules {
  std::vector<std::string> prefixes;  // "-" and the key, which rules point into
  std::vector<TokenRule> rules;
  std::vector<const char*> keys;  // each rule's option key
};

const TableRules& tableRules() {
  static const TableRules all = [] {
    TableRules t;
    std::vector<const PrinterOption*> rows;
    for (const PrinterOption* o = printerOptions; o->key; ++o)
      if (o->letter && !fixedRuleAt(std::string("-") + o->key, 0)) rows.push_back(o);
    t.prefixes.reserve(rows.size());
    for (const PrinterOption* o : rows) {
      t.prefixes.push_back(std::string("-") + o->key);
      t.keys.push_back(o->key);
      t.rules.push_back({t.prefixes.back().c_str(), nullptr,
                         static_cast<int>(M_Count + t.rules.size()), o->letter_value, false});
    }
    return t;
  }();
  return all;
}

const TokenRule* ruleAt(const std::string& line, size_t pos) {
  if (const TokenRule* r = fixedRuleAt(line, pos)) return r;
  for (const TokenRule& r : tableRules().rules)
    if (startsWith(line, pos, r.prefix)) return &r;
  return nullptr;
}

size_t wordEnd(const std::string& s, size_t pos) {
  while (pos < s.size() && !isWhite(s[pos])) ++pos;
  return pos;
}

// Length of the option at `pos` whose letters are `letters` long,
// together with its value. The value is the rest of the word when it is
// attached, or else the next word after blanks unless that begins with
// '-' or the line ends first.
size_t optionSpan(const std::string& line, size_t pos, size_t letters) {
  size_t q = pos + letters;
  if (q < line.size() && !isWhite(line[q])) return wordEnd(line, q) - pos;
  size_t v = q;
  while (v < line.size() && isBlank(line[v])) ++v;
  if (v >= line.size() || line[v] == '\n' || line[v] == '-') return letters;
  return wordEnd(line, v) - pos;
}

// Where the filter's options begin on a line that belongs to `name`, or
// npos for a line of another filter (or one such as "zavpsifq").
size_t optionsStart(const std::string& line, const std::string& name,
                    bool* found) {
  size_t pos = 0;
  while (pos < line.size() && isWhite(line[pos])) ++pos;
  if (line.compare(pos, name.size(), name) != 0) return std::string::npos;
  *found = true;
  pos += name.size();
  if (pos < line.size() && !isWhite(line[pos])) return std::string::npos;
  return pos;
}

// Removes `span` characters at `pos` and the blanks after them.
void removeAt(std::string& line, size_t pos, size_t span) {
  size_t end = pos + span;
  while (end < line.size() && isBlank(line[end])) ++end;
  line.erase(pos, end - pos);
}

// Edits the options of one filter line from `pos`, right after the name.
// The line ends with its newline. Whatever ran before, the line comes out
// with one blank after the name and one between the options it changes.
void editLine(std::string& line, size_t pos, const FilterSettings& settings) {
  size_t start = pos;
  std::vector<bool> seen(settings.text.size());
  for (;;) {
    while (pos < line.size() && isBlank(line[pos])) ++pos;
    if (pos >= line.size() || line[pos] == '\n') break;
    const TokenRule* rule = ruleAt(line, pos);
    if (!rule) {  // not ours: kept, unless -X gives the others anew
      size_t end = wordEnd(line, pos + 1);
      if (settings.others)
        removeAt(line, pos, end - pos);
      else
        pos = end;
      continue;
    }
    seen[rule->option] = true;
    size_t letters = std::strlen(rule->prefix);
    size_t span = rule->with_value ? optionSpan(line, pos, letters) : letters;
    const std::optional<std::string>& text = settings.text[rule->option];
    if (text && (rule->keep ||
                 (rule->option == M_Input && settings.keep_input_value))) {
      pos += letters;
    } else if (text) {
      line.replace(pos, span, *text);
      pos += text->size();
    } else {
      removeAt(line, pos, span);
    }
  }
  while (pos > start && isBlank(line[pos - 1])) --pos;
  line.erase(pos, line.size() - 1 - pos);
  std::string tail;
  for (size_t m = 0; m < settings.text.size(); ++m)
    if (!seen[m] && settings.text[m]) tail += " " + *settings.text[m];
  if (settings.others && !settings.others->empty())
    tail += " " + *settings.others;
  line.insert(pos, tail);
  size_t first = start;
  while (first < line.size() && isBlank(line[first])) ++first;
  line.replace(start, first - start, line[first] == '\n' ? "" : " ");
}

}  // namespace

bool isManagedOption(const std::string& word) {
  return ruleAt(word, 0) != nullptr;
}

FilterSettings filterSettings(const ToolSettings& tool,
                              const std::string& name) {
  FilterSettings f;
  f.text.resize(M_Count + tableRules().rules.size());
  auto others = tool.other_options.find(name);
  if (others != tool.other_options.end()) f.others = others->second;
  if (tool.input_code == kCustomInputCode) {
    if (name == "zavpsof") {
      f.text[M_Input] = "-I";
      f.keep_input_value = true;
    } else {
      f.text[M_Input] = "-I" + tool.custom_size_text;
    }
  } else if (tool.input_code != 0) {
    const char* keyword = inputKeywordName(tool.input_code);
    f.text[M_Input] = std::string("-I") + (keyword ? keyword : "");
  }
  if (tool.output_code != 0) {
    const char* keyword = outputKeywordName(tool.output_code);
    f.text[M_Output] = std::string("-O") + (keyword ? keyword : "");
  }
  if (name == "zavpsof") return f;

  if (tool.duplex == 2) f.text[M_Duplex] = "-D";
  if (tool.duplex == 3) f.text[M_Duplex] = "-d";
  if (tool.toner_saver) f.text[M_Toner] = "-t";
  if (tool.render_enhance) f.text[M_Enhance] = "-E";
  if (tool.policy_text) f.text[M_Policy] = "-C" + *tool.policy_text;
  if (tool.jog_text) f.text[M_Jog] = "-J" + *tool.jog_text;
  if (!tool.copies_text.empty()) f.text[M_Copies] = "-Nc=" + tool.copies_text;
  if (tool.collate) f.text[M_Collate] = "-Cl";
  if (tool.force_postscript && name == "zavpsif") f.text[M_PostScript] = "-ps";
  if (tool.g4 && name == "zavpsvf") f.text[M_G4] = "-G4";
  if (tool.jog_none) f.text[M_JogNone] = "-JN";
  if (tool.jog_user_given) f.text[M_JogUser] = "-JU=" + tool.jog_user;
  if (tool.stamp_spec) f.text[M_StampPosition] = "-Hd=" + *tool.stamp_spec;
  const TableRules& table = tableRules();
  for (size_t i = 0; i < table.keys.size(); ++i) {
    auto given = tool.table_options.find(table.keys[i]);
    if (given != tool.table_options.end()) f.text[M_Count + i] = given->second;
  }
  return f;
}

bool composeFilterLines(std::vector<std::string>& lines,
                        const std::string& name,
                        const FilterSettings& settings) {
  bool found = false;
  for (std::string& line : lines) {
    size_t pos = optionsStart(line, name, &found);
    if (pos == std::string::npos) continue;
    // The last line of a file may lack its newline: it gets one.
    if (line.back() != '\n') line.push_back('\n');
    editLine(line, pos, settings);
  }
  return found;
}
