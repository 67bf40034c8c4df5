// The bash completion script, made from the option list: an option's value
// words ("FILE", "FOLDER", "a|b|c") say what to offer after it.
#include <string>

#include "cli/CliOptions.h"

namespace tonbo::cli {
namespace {

constexpr const char* kHead =
    R"(# bash completion for tonbo-cli, written from its option list at build time.
_tonbo_cli() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
  case $prev in
)";

constexpr const char* kTail = R"(  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
  else
    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -f -- "$cur"))
  fi
}
complete -F _tonbo_cli tonbo-cli
)";

std::string Replaced(std::string text, char from, char to) {
  for (char& c : text)
    if (c == from) c = to;
  return text;
}

}  // namespace

std::string BashCompletion() {
  // What follows an option: files, folders, one of its words, or typed text.
  std::string files, folders, words, typed, names;
  for (const CliOption& option : OptionList()) {
    if (!option.name) continue;
    const std::string name = option.name;
    if ((" " + names + " ").find(" " + name + " ") == std::string::npos) {
      names += (names.empty() ? "" : " ") + name;
      if (option.shortName) names += " " + std::string(option.shortName);
    }
    const std::string values = option.values;
    if (values.empty() || !option.parse) continue;
    if (values == "FILE")
      files += (files.empty() ? "" : "|") + name;
    else if (values == "FOLDER")
      folders += (folders.empty() ? "" : "|") + name;
    else if (values.find('|') != std::string::npos)
      words += "    " + name + ") COMPREPLY=($(compgen -W '" + Replaced(values, '|', ' ') +
               "' -- \"$cur\")); return ;;\n";
    else
      typed += (typed.empty() ? "" : "|") + name;
  }
  std::string script = kHead;
  if (!files.empty())
    script += "    " + files + ")\n      compopt -o filenames 2>/dev/null\n" +
              "      COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n";
  if (!folders.empty())
    script += "    " + folders + ")\n      compopt -o filenames 2>/dev/null\n" +
              "      COMPREPLY=($(compgen -d -- \"$cur\")); return ;;\n";
  script += words;
  if (!typed.empty()) script += "    " + typed + ") return ;;\n";
  script += "  esac\n  local options='" + names + "'\n";
  return script + kTail;
}

}  // namespace tonbo::cli
